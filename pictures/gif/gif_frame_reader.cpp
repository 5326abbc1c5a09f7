#include "pictures/gif/gif_frame_reader.h"

#include <algorithm>
#include <new>

#include "pictures/gdi/gdi.h"
#include "pictures/gif/gif_errors.h"
#include "pictures/gif/gif_extensions.h"
#include "pictures/gif/gif_sub_blocks.h"
#include "pictures/gif/lzw_decoder.h"

namespace gif {

namespace {

constexpr int ExtensionIntroducer = '!';
constexpr int ImageSeparator = ',';
constexpr int Trailer = ';';
constexpr uint32_t MaxCoordinate = 65535;

#pragma pack(push, 1)
struct TImageDescriptorBytes {
    uint8_t Separator;
    uint8_t Left[2], Top[2], Width[2], Height[2];
    uint8_t PackedFields;
};
#pragma pack(pop)
static_assert(sizeof(TImageDescriptorBytes) == 10);

uint16_t Little16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

// Encoders in the wild write frames that wrap past 65535 or have no size;
// they are corrected rather than refused.
void CorrectDescriptor(TGIFImageDescriptor& descriptor, const TGIFData& data) {
    uint32_t right = uint32_t{descriptor.Left} + descriptor.Width;
    if (right > MaxCoordinate) descriptor.Width = static_cast<uint16_t>(right - 65536);
    uint32_t bottom = uint32_t{descriptor.Top} + descriptor.Height;
    if (bottom > MaxCoordinate) descriptor.Height = static_cast<uint16_t>(bottom - 65536);
    if (descriptor.Width == 0 || descriptor.Height == 0) {
        descriptor.Width = static_cast<uint16_t>(data.Width);
        descriptor.Height = static_cast<uint16_t>(data.Height);
    }
}

TGIFImageDescriptor ReadDescriptor(TByteReader& reader) {
    TImageDescriptorBytes bytes;
    reader.ReadExact(&bytes, sizeof bytes);
    if (bytes.Separator != ImageSeparator) throw GIFException(InvalidData);
    TGIFImageDescriptor descriptor;
    descriptor.Left = Little16(bytes.Left);
    descriptor.Top = Little16(bytes.Top);
    descriptor.Width = Little16(bytes.Width);
    descriptor.Height = Little16(bytes.Height);
    descriptor.PackedFields = bytes.PackedFields;
    return descriptor;
}

void DecodePixels(TByteReader& reader, TGIFFrame& frame, bool keepPixels) {
    int minimumCodeSize = reader.ReadByte();
    if (minimumCodeSize < 0 || minimumCodeSize > MaxMinimumCodeSize) return;

    const TGIFImageDescriptor& descriptor = frame.Descriptor;
    // Refused before anything of the frame's size is allocated.
    if (!gdi::MayAllocatePixels(descriptor.Width, descriptor.Height, 8)) throw EOutOfMemory(OutOfMemory);
    if (keepPixels) {
        const TGIFGraphicControlExtension* control = frame.GraphicControl();
        uint8_t fill = control && control->Transparent() ? control->TransparentColorIndex : 0;
        try {
            frame.Pixels.assign(size_t{descriptor.Width} * descriptor.Height, fill);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory(OutOfMemory);
        }
    }
    frame.HasPixelData = true;

    TLzwTarget target{keepPixels ? frame.Pixels.data() : nullptr, descriptor.Width, descriptor.Height,
                      descriptor.Interlaced()};
    TSubBlockInput input(reader);
    TLzwStop stop = DecodeLzw(minimumCodeSize, input, target);
    // An interlaced frame that ended early leaves its remaining data to the
    // block loop, which usually stops loading there.
    if (!descriptor.Interlaced() || stop == TLzwStop::Complete) input.SkipRest();
}

void GrowScreen(const TGIFFrame& frame, TGIFData& data) {
    const TGIFImageDescriptor& descriptor = frame.Descriptor;
    uint32_t right = uint32_t{descriptor.Left} + descriptor.Width;
    uint32_t bottom = uint32_t{descriptor.Top} + descriptor.Height;
    if (right > MaxCoordinate || bottom > MaxCoordinate) throw GIFException(InvalidImageSize);
    data.Width = std::max(data.Width, static_cast<int>(right));
    data.Height = std::max(data.Height, static_cast<int>(bottom));
}

}  // namespace

TGIFColorTable ReadColorTable(TByteReader& reader, uint8_t packedFields) {
    uint8_t bytes[256 * 3];
    size_t entries = static_cast<size_t>(ColorTableEntries(packedFields));
    reader.ReadExact(bytes, entries * 3);
    TGIFColorTable table(entries);
    for (size_t i = 0; i < entries; ++i) table[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
    return table;
}

TGIFFrame ReadFrame(TByteReader& reader, TGIFData& data, bool keepPixels) {
    TGIFFrame frame;
    while (reader.Peek() == ExtensionIntroducer) {
        reader.ReadByte();
        frame.Extensions.push_back(ReadExtension(reader));
    }
    int next = reader.Peek();
    if (next == Trailer || next == 0 || next < 0) return frame;

    frame.Descriptor = ReadDescriptor(reader);
    frame.HasDescriptor = true;
    CorrectDescriptor(frame.Descriptor, data);
    if (frame.Descriptor.HasLocalColorTable())
        frame.LocalColorTable = ReadColorTable(reader, frame.Descriptor.PackedFields);
    DecodePixels(reader, frame, keepPixels);
    if (!frame.Empty()) GrowScreen(frame, data);
    return frame;
}

}  // namespace gif
