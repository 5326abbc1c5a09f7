#include "pictures/gif/gif_loader.h"

#include <algorithm>
#include <cctype>

#include "pictures/gif/gif_byte_reader.h"
#include "pictures/gif/gif_errors.h"
#include "pictures/gif/gif_frame_reader.h"

namespace gif {

namespace {

bool IsSignature(const uint8_t* bytes) {
    return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' && std::toupper(bytes[2]) == 'F';
}

// Some files carry 4 bytes ahead of the header, so the signature is also
// looked for there. Letter case and version are not examined.
void ReadHeader(TByteReader& reader, TGIFHeader& header) {
    const int64_t start = reader.Position();
    uint8_t bytes[6];
    reader.ReadExact(bytes, sizeof bytes);
    if (!IsSignature(bytes)) {
        reader.SetPosition(start + 4);
        reader.ReadExact(bytes, sizeof bytes);
        if (!IsSignature(bytes)) throw GIFException(InvalidSignature);
    }
    std::copy(bytes, bytes + 3, header.Signature.begin());
    std::copy(bytes + 3, bytes + 6, header.Version.begin());
}

void ReadLogicalScreen(TByteReader& reader, TGIFData& data) {
    uint8_t bytes[7];
    reader.ReadExact(bytes, sizeof bytes);
    TGIFHeader& header = data.Header;
    header.ScreenWidth = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    header.ScreenHeight = static_cast<uint16_t>(bytes[2] | (bytes[3] << 8));
    header.PackedFields = bytes[4];
    header.BackgroundColorIndex = bytes[5];
    header.AspectRatio = bytes[6];
    data.Width = header.ScreenWidth;
    data.Height = header.ScreenHeight;
    if (header.HasGlobalColorTable()) data.GlobalColorTable = ReadColorTable(reader, header.PackedFields);
}

void SkipZeros(TByteReader& reader) {
    while (reader.Peek() == 0) reader.ReadByte();
}

// Frames until the trailer ";". Anything else that cannot start a block ends
// loading quietly with the frames read so far, as does the end of the file.
void ReadBlocks(TByteReader& reader, TGIFData& data) {
    SkipZeros(reader);
    for (;;) {
        int next = reader.Peek();
        if (next != '!' && next != ',') break;
        TGIFFrame frame = ReadFrame(reader, data, data.Frames.empty());
        if (!frame.Empty() || !frame.Extensions.empty()) data.Frames.push_back(std::move(frame));
        SkipZeros(reader);
    }
    // The trailer, or whatever stopped the loop, is taken without a check.
    reader.ReadByte();
}

}  // namespace

TGIFData LoadGIF(TStream& stream) {
    const int64_t start = stream.Position();
    try {
        TByteReader reader(stream);
        TGIFData data;
        ReadHeader(reader, data.Header);
        ReadLogicalScreen(reader, data);
        ReadBlocks(reader, data);
        reader.Commit();
        return data;
    } catch (...) {
        stream.SetPosition(start);
        throw;
    }
}

}  // namespace gif
