// The BMP files a 32-bit bitmap writes: every pixel as its four stored bytes
// (blue, green, red, alpha), under one of five information header versions.

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <vector>

#include "pictures/gdi/gdi.h"
#include "pixels/bitmap32.h"
#include "pixels/image_format.h"

namespace {

constexpr size_t FileHeaderSize = 14;
constexpr uint32_t BitFieldsCompression = 3;
constexpr uint32_t RedMask = 0x00FF0000, GreenMask = 0x0000FF00, BlueMask = 0x000000FF, AlphaMask = 0xFF000000;
constexpr uint32_t ColorSpaceSRGB = 0x73524742;  // "sRGB", read little-endian
constexpr uint32_t IntentImages = 4;
// Bottom-up rows are gathered into blocks of about this size before writing,
// so that a tall, narrow bitmap does not cost one write per row.
constexpr size_t RowBlockBytes = size_t{1} << 20;

template <size_t N>
void PutLE32(std::array<uint8_t, N>& block, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}
template <size_t N>
void PutLE16(std::array<uint8_t, N>& block, size_t offset, uint16_t value) {
    block[offset] = static_cast<uint8_t>(value);
    block[offset + 1] = static_cast<uint8_t>(value >> 8);
}

size_t InfoHeaderSize(TInfoHeaderVersion version) {
    switch (version) {
    case InfoHeaderVersion1: return 40;
    case InfoHeaderVersion2: return 52;
    case InfoHeaderVersion3: return 56;
    case InfoHeaderVersion4: return 108;
    case InfoHeaderVersion5: return 124;
    }
    throw EInvalidGraphic("Invalid DIB header version");
}

bool RepeatsMasks(TInfoHeaderVersion version, bool includeColorTable) {
    return includeColorTable && version >= InfoHeaderVersion3;
}

// Offsets within the information header.
enum : size_t {
    HeaderSizeField = 0,
    WidthField = 4,
    HeightField = 8,
    PlanesField = 12,
    BitCountField = 14,
    CompressionField = 16,
    ImageSizeField = 20,
    RedMaskField = 40,
    GreenMaskField = 44,
    BlueMaskField = 48,
    AlphaMaskField = 52,
    ColorSpaceField = 56,
    IntentField = 108
};

std::array<uint8_t, gdi::LargestInfoHeader> InfoHeader(int width, int height, bool saveTopDown,
                                                       TInfoHeaderVersion version) {
    std::array<uint8_t, gdi::LargestInfoHeader> header{};
    PutLE32(header, HeaderSizeField, static_cast<uint32_t>(InfoHeaderSize(version)));
    PutLE32(header, WidthField, static_cast<uint32_t>(width));
    PutLE32(header, HeightField, static_cast<uint32_t>(saveTopDown ? -height : height));
    PutLE16(header, PlanesField, 1);
    PutLE16(header, BitCountField, 32);
    // A store is at most 1 GiB, so its byte count fits the 32-bit field.
    PutLE32(header, ImageSizeField, static_cast<uint32_t>(uint64_t(width) * uint64_t(height) * 4));
    if (version >= InfoHeaderVersion3) {
        PutLE32(header, CompressionField, BitFieldsCompression);
        PutLE32(header, RedMaskField, RedMask);
        PutLE32(header, GreenMaskField, GreenMask);
        PutLE32(header, BlueMaskField, BlueMask);
        PutLE32(header, AlphaMaskField, AlphaMask);
    }
    if (version >= InfoHeaderVersion4) PutLE32(header, ColorSpaceField, ColorSpaceSRGB);
    if (version == InfoHeaderVersion5) PutLE32(header, IntentField, IntentImages);
    return header;
}

void WriteRowsBottomUp(int width, int height, const TBmpRowSource& rowSource, TStream& stream) {
    const size_t rowPixels = size_t(width);
    const size_t rowsPerBlock = std::max<size_t>(1, RowBlockBytes / (rowPixels * sizeof(TColor32)));
    std::vector<TColor32> block(rowsPerBlock * rowPixels);
    int y = height - 1;
    while (y >= 0) {
        size_t used = 0;
        for (size_t n = 0; n < rowsPerBlock && y >= 0; ++n, --y, used += rowPixels) rowSource(y, block.data() + used);
        stream.WriteBuffer(block.data(), used * sizeof(TColor32));
    }
}

// The information header, the optional repeated masks and the rows.
void WriteDib(TStream& stream, int width, int height, bool saveTopDown, TInfoHeaderVersion version,
              bool includeColorTable, const std::function<void()>& writeRows) {
    const auto header = InfoHeader(width, height, saveTopDown, version);
    stream.WriteBuffer(header.data(), InfoHeaderSize(version));
    if (RepeatsMasks(version, includeColorTable)) stream.WriteBuffer(header.data() + RedMaskField, 12);
    writeRows();
}

// The file header before what writeDib writes, with its size and offset.
void WriteBmpFile(TStream& stream, TInfoHeaderVersion version, bool includeColorTable,
                  const std::function<void()>& writeDib) {
    const int64_t start = stream.Position();
    stream.SetPosition(start + int64_t{FileHeaderSize});
    writeDib();
    const int64_t end = stream.Position();

    std::array<uint8_t, FileHeaderSize> fileHeader{};
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    PutLE32(fileHeader, 2, static_cast<uint32_t>(end - start));
    const size_t pixelOffset =
        FileHeaderSize + InfoHeaderSize(version) + (RepeatsMasks(version, includeColorTable) ? 12 : 0);
    PutLE32(fileHeader, 10, static_cast<uint32_t>(pixelOffset));
    stream.SetPosition(start);
    stream.WriteBuffer(fileHeader.data(), fileHeader.size());
    stream.SetPosition(end);
}

// The text after the last "." of the file's own name, without the dot.
std::string FileExtension(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) return {};
    if (fileName.find('/', dot) != std::string::npos) return {};
    return fileName.substr(dot + 1);
}

}  // namespace

void TCustomBitmap32::SaveToDIBStream(TStream& stream, bool saveTopDown, TInfoHeaderVersion infoHeaderVersion,
                                      bool includeColorTable) const {
    WriteDib(stream, FWidth, FHeight, saveTopDown, infoHeaderVersion, includeColorTable, [&] {
        if (Empty()) return;
        if (saveTopDown) {
            stream.WriteBuffer(FBits, size_t(FWidth) * size_t(FHeight) * sizeof(TColor32));
            return;
        }
        WriteRowsBottomUp(
            FWidth, FHeight,
            [this](int y, TColor32* row) { std::memcpy(row, ScanLine(y), size_t(FWidth) * sizeof(TColor32)); }, stream);
    });
}

void TCustomBitmap32::SaveToStream(TStream& stream, bool saveTopDown, TInfoHeaderVersion infoHeaderVersion,
                                   bool includeColorTable) const {
    WriteBmpFile(stream, infoHeaderVersion, includeColorTable,
                 [&] { SaveToDIBStream(stream, saveTopDown, infoHeaderVersion, includeColorTable); });
}

void SaveRowsToStream(TStream& stream, int width, int height, const TBmpRowSource& rowSource) {
    WriteBmpFile(stream, DefaultBitmapHeaderVersion, DefaultBitmapIncludeColorTable, [&] {
        WriteDib(stream, width, height, false, DefaultBitmapHeaderVersion, DefaultBitmapIncludeColorTable, [&] {
            if (width > 0 && height > 0) WriteRowsBottomUp(width, height, rowSource, stream);
        });
    });
}

void TCustomBitmap32::SaveToFile(const std::string& fileName) const {
    // The previous file stays untouched until the new one is complete.
    TAtomicFileWriter file(fileName);
    if (IImageFormatWriter* writer = ImageFormatManager().FindWriter(FileExtension(fileName)))
        writer->SaveToStream(*this, file.Stream());
    else
        SaveToStream(file.Stream(), false);
    file.Commit();
}

void TCustomBitmap32::SaveToFile(const std::string& fileName, bool saveTopDown, TInfoHeaderVersion infoHeaderVersion,
                                 bool includeColorTable) const {
    TAtomicFileWriter file(fileName);
    SaveToStream(file.Stream(), saveTopDown, infoHeaderVersion, includeColorTable);
    file.Commit();
}
