#include "pictures/gif/gif_extensions.h"

#include <cstring>

#include "pictures/gif/gif_errors.h"
#include "pictures/gif/gif_sub_blocks.h"

namespace gif {

namespace {

constexpr int PlainTextLabel = 0x01;
constexpr int GraphicControlLabel = 0xF9;
constexpr int CommentLabel = 0xFE;
constexpr int ApplicationLabel = 0xFF;

uint16_t Little16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }
uint32_t Little32(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// Block size, packed fields, delay, transparent index and terminator, taken
// as they come: neither the block size nor the terminator is checked, and a
// file ending early leaves the missing fields at 0.
TGIFGraphicControlExtension ReadGraphicControl(TByteReader& reader) {
    uint8_t bytes[6] = {};
    reader.Read(bytes, sizeof bytes);
    TGIFGraphicControlExtension extension;
    extension.BlockSize = bytes[0];
    extension.PackedFields = bytes[1];
    extension.Delay = Little16(bytes + 2);
    extension.TransparentColorIndex = bytes[4];
    return extension;
}

TGIFCommentExtension ReadComment(TByteReader& reader) {
    TGIFCommentExtension extension;
    for (const std::string& block : ReadSubBlocks(reader)) extension.Text += block;
    return extension;
}

TGIFPlainTextExtension ReadPlainText(TByteReader& reader) {
    TGIFPlainTextExtension extension;
    reader.ReadExact(extension.Header.data(), extension.Header.size());
    extension.Text = ReadSubBlocks(reader);
    return extension;
}

// The looping extensions: sub-block kind 1 holds the loop count, kind 2 the
// buffer size; others are skipped.
void ReadLoopingData(TByteReader& reader, TGIFApplicationExtension& extension) {
    std::string block;
    while (ReadSubBlock(reader, block)) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
        switch (bytes[0] & 7) {
        case 1:
            if (block.size() < 3) throw GIFException(InvalidData);
            extension.LoopCount = Little16(bytes + 1);
            break;
        case 2:
            if (block.size() < 5) throw GIFException(InvalidData);
            extension.BufferSize = Little32(bytes + 1);
            break;
        default: break;
        }
    }
}

TGIFApplicationExtension ReadApplication(TByteReader& reader) {
    int blockSize = reader.ReadByte();
    if (blockSize < 0) throw GIFException(PrematureEnd);
    if (blockSize < 10) throw GIFException(BadApplicationBlockSize);
    if (blockSize > 11) throw EAbstractError(AbstractError);
    char identifier[11];
    reader.ReadExact(identifier, static_cast<size_t>(blockSize));
    TGIFApplicationExtension extension;
    extension.Identifier.assign(identifier, 8);
    extension.Authentication.assign(identifier + 8, static_cast<size_t>(blockSize - 8));
    // A 10-byte identifier block is accepted, but never as a looping extension.
    bool looping = blockSize == 11 &&
                   (std::memcmp(identifier, "NETSCAPE2.0", 11) == 0 || std::memcmp(identifier, "ANIMEXTS1.0", 11) == 0);
    if (looping)
        ReadLoopingData(reader, extension);
    else
        extension.Data = ReadSubBlocks(reader);
    return extension;
}

}  // namespace

TGIFExtension ReadExtension(TByteReader& reader) {
    int label = reader.ReadByte();
    switch (label) {
    case PlainTextLabel: return ReadPlainText(reader);
    case GraphicControlLabel: return ReadGraphicControl(reader);
    case CommentLabel: return ReadComment(reader);
    case ApplicationLabel: return ReadApplication(reader);
    case -1: throw GIFException(PrematureEnd);
    default: throw GIFException(UnknownExtension);
    }
}

}  // namespace gif
