#include "pictures/bmp/bmp_read_header.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/exception.h"

namespace {

constexpr int64_t CopyBlockSize = 1 << 20;
// From this header size on, the three colour masks are fields of the header.
constexpr uint32_t HeaderWithMasks = 52;

[[noreturn]] void NotValid() { throw EInvalidGraphic("Bitmap image is not valid"); }

template <class T>
T ReadStruct(TStream& stream) {
    T value;
    stream.ReadBuffer(&value, sizeof value);
    return value;
}

bool KeepsMemoryCopy(uint32_t compression) { return compression != gdi::BI_RGB && compression != gdi::BI_BITFIELDS; }

void ReadCoreHeader(TStream& stream, BmpHeaders& headers) {
    const auto core = ReadStruct<BmpCoreHeader>(stream);
    gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    header = gdi::BITMAPINFOHEADER{};
    header.biWidth = core.Width;
    header.biHeight = core.Height;
    header.biPlanes = core.Planes;
    header.biBitCount = core.BitCount;
    headers.OS2 = true;
}

// Reads a Windows information header of any declared length. Only the bytes
// the file declares are read; fields it does not reach stay zero. Returns the
// header's bytes after its size field, for the memory copy.
std::vector<uint8_t> ReadWindowsHeader(TStream& stream, int64_t bytesLeft, BmpHeaders& headers) {
    const uint32_t declared = headers.HeaderSize;
    const int64_t restBytes = declared >= 4 ? int64_t{declared} - 4 : 0;
    if (restBytes > bytesLeft) throw EReadError("Stream read error");
    std::vector<uint8_t> rest(static_cast<size_t>(restBytes));
    if (!rest.empty()) stream.ReadBuffer(rest.data(), rest.size());

    uint8_t known[gdi::LargestInfoHeader] = {};
    if (!rest.empty()) std::memcpy(known + 4, rest.data(), std::min(rest.size(), size_t{gdi::LargestInfoHeader - 4}));
    std::memcpy(&headers.Info.Header, known, sizeof(gdi::BITMAPINFOHEADER));
    if (declared >= HeaderWithMasks) std::memcpy(headers.Info.Masks, known + 40, sizeof headers.Info.Masks);
    return rest;
}

// Copies the whole file (headers already read, then `imageBytes` more from
// the stream) into memory, in blocks of 1 MiB, and positions the copy at the
// first byte after the headers.
std::shared_ptr<TMemoryStream> MakeMemoryCopy(TStream& stream, const BmpHeaders& headers,
                                              const std::vector<uint8_t>& headerRest, int64_t imageBytes) {
    auto copy = std::make_shared<TMemoryStream>();
    copy->WriteBuffer(&headers.File, sizeof headers.File);
    copy->WriteBuffer(&headers.HeaderSize, sizeof headers.HeaderSize);
    if (!headerRest.empty()) copy->WriteBuffer(headerRest.data(), headerRest.size());
    const int64_t headerEnd = copy->Position();
    copy->Data().resize(static_cast<size_t>(headerEnd + imageBytes));
    for (int64_t done = 0; done < imageBytes;) {
        const int64_t block = std::min(CopyBlockSize, imageBytes - done);
        stream.ReadBuffer(copy->Data().data() + headerEnd + done, static_cast<size_t>(block));
        done += block;
    }
    copy->SetPosition(headerEnd);
    return copy;
}

uint32_t DefaultColorsUsed(uint16_t bitCount) {
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

std::vector<gdi::RGBQUAD> ReadColorTable(TStream& source, uint32_t count, bool os2) {
    const size_t entryBytes = os2 ? 3 : 4;
    std::vector<uint8_t> raw(count * entryBytes);
    if (!raw.empty()) source.ReadBuffer(raw.data(), raw.size());
    std::vector<gdi::RGBQUAD> table(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = raw.data() + i * entryBytes;
        table[i] = gdi::RGBQUAD{entry[0], entry[1], entry[2], 0};  // OS/2 entries widened to 4 bytes
    }
    return table;
}

// Where reading goes on: the caller's stream, or the memory copy of the file.
struct ReadCursor {
    TStream* Source = nullptr;
    int64_t FileStart = 0;  // position of the file's first byte in Source
    int64_t BytesLeft = 0;  // what the file holds after what has been read
};

void ReadInformationHeader(TStream& stream, BmpHeaders& headers, ReadCursor& cursor) {
    headers.HeaderSize = ReadStruct<uint32_t>(stream);
    gdi::BitmapInfo& info = headers.Info;
    if (headers.HeaderSize == BmpCoreHeaderSize) {
        ReadCoreHeader(stream, headers);
        cursor.BytesLeft -= BmpCoreHeaderSize;
    } else {
        const auto rest = ReadWindowsHeader(stream, cursor.BytesLeft - 4, headers);
        cursor.BytesLeft -= std::max<int64_t>(headers.HeaderSize, 4);
        if (KeepsMemoryCopy(info.Header.biCompression)) {
            headers.SaveStream = MakeMemoryCopy(stream, headers, rest, cursor.BytesLeft);
            cursor.Source = headers.SaveStream.get();
            cursor.FileStart = 0;
        }
    }
    // The OS/2 core header has been widened to a 40-byte one.
    info.Header.biSize = headers.OS2 ? sizeof(gdi::BITMAPINFOHEADER) : headers.HeaderSize;
    if (info.Header.biPlanes != 1) NotValid();
}

// Masks follow a 40-byte header; the longer header versions hold them as
// fields of their own, and reading 12 more bytes there would eat pixels.
int64_t ReadMasks(BmpHeaders& headers, ReadCursor& cursor) {
    const gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    if (headers.OS2 || headers.HeaderSize < gdi::SmallestInfoHeader || headers.HeaderSize >= HeaderWithMasks ||
        (header.biBitCount != 16 && header.biBitCount != 32) || header.biCompression != gdi::BI_BITFIELDS)
        return 0;
    cursor.Source->ReadBuffer(headers.Info.Masks, sizeof headers.Info.Masks);
    cursor.BytesLeft -= sizeof headers.Info.Masks;
    return sizeof headers.Info.Masks;
}

int64_t ReadColors(BmpHeaders& headers, ReadCursor& cursor) {
    gdi::BitmapInfo& info = headers.Info;
    if (info.Header.biClrUsed == 0) info.Header.biClrUsed = DefaultColorsUsed(info.Header.biBitCount);
    const int64_t tableBytes = int64_t{info.Header.biClrUsed} * (headers.OS2 ? 3 : 4);
    if (tableBytes > BmpMaxColorTableBytes) NotValid();
    headers.ColorTable = ReadColorTable(*cursor.Source, info.Header.biClrUsed, headers.OS2);
    if (info.Header.biBitCount <= 8) info.Colors = headers.ColorTable;
    cursor.BytesLeft -= tableBytes;
    return tableBytes;
}

// Width, height and bit count come from the file: their product is formed
// only once the limit check has bounded each of them. A description beyond
// the limit (or of an unknown bit count) is refused when the bitmap is made;
// until then it claims no more than what the file holds.
int64_t DescribedPixelBytes(const gdi::BITMAPINFOHEADER& header, int64_t bytesLeft) {
    const int64_t height = std::abs(int64_t{header.biHeight});
    if (header.biWidth <= 0 || !gdi::WithinPixelLimit(header.biWidth, height, header.biBitCount)) return bytesLeft;
    return gdi::DibRowBytes(header.biWidth, header.biBitCount) * height;
}

// A pixel offset past the headers and the table marks a gap (or data the
// writer put in between): the pixels start there. An offset that points back
// into the headers, or beyond the file, is a writer's mistake; the pixels are
// then taken to follow the table.
void FindPixels(BmpHeaders& headers, ReadCursor& cursor, int64_t fileSize, int64_t headersEnd) {
    const int64_t pixelOffset = headers.File.PixelOffset;
    if (pixelOffset >= headersEnd && pixelOffset < fileSize) {
        cursor.Source->SetPosition(cursor.FileStart + pixelOffset);
        cursor.BytesLeft = fileSize - pixelOffset;
    }
    const gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    int64_t described = header.biSizeImage;
    if (described == 0 || header.biCompression == gdi::BI_RGB)
        described = DescribedPixelBytes(header, cursor.BytesLeft);
    headers.BytesToRead = std::max<int64_t>(0, std::min(described, cursor.BytesLeft));
    headers.PixelSource = cursor.Source;
}

}  // namespace

BmpHeaders ReadBmpHeaders(TStream& stream, int64_t size) {
    ReadCursor cursor{&stream, stream.Position(), size - int64_t{sizeof(BmpFileHeader)}};
    BmpHeaders headers;
    headers.File = ReadStruct<BmpFileHeader>(stream);
    if (headers.File.Type != BmpSignature) NotValid();
    ReadInformationHeader(stream, headers, cursor);
    const int64_t maskBytes = ReadMasks(headers, cursor);
    const int64_t tableBytes = ReadColors(headers, cursor);
    const int64_t headersEnd =
        sizeof(BmpFileHeader) + (headers.OS2 ? BmpCoreHeaderSize : headers.HeaderSize) + maskBytes + tableBytes;
    FindPixels(headers, cursor, size, headersEnd);
    return headers;
}
