#pragma once
// What a GIF file holds once read: the header with its logical screen, the
// global colour table and the frames with their extensions. Plain values;
// the reading rules live in gif_loader and gif_frame_reader.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace gif {

struct TGIFColor {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};
// 0 to 256 entries.
using TGIFColorTable = std::vector<TGIFColor>;

// Entries of a colour table announced by packed fields (size in bits 0-2).
constexpr int ColorTableEntries(uint8_t packed) { return 2 << (packed & 7); }

// The header and logical screen descriptor. Width and height are the
// screen's size as read; the image's size after loading may be larger.
struct TGIFHeader {
    std::array<char, 3> Signature{};
    std::array<char, 3> Version{};
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    uint8_t PackedFields = 0;  // bit 7: global colour table; bits 0-2: its size
    uint8_t BackgroundColorIndex = 0;
    uint8_t AspectRatio = 0;
    bool HasGlobalColorTable() const { return (PackedFields & 0x80) != 0; }
};

struct TGIFGraphicControlExtension {
    uint8_t BlockSize = 0;
    uint8_t PackedFields = 0;  // bit 0: transparency; bits 2-4: disposal
    uint16_t Delay = 0;        // hundredths of a second
    uint8_t TransparentColorIndex = 0;
    bool Transparent() const { return (PackedFields & 0x01) != 0; }
};

struct TGIFCommentExtension {
    std::string Text;
};

struct TGIFPlainTextExtension {
    std::array<uint8_t, 13> Header{};  // block size and the text-grid parameters
    std::vector<std::string> Text;     // one entry per data sub-block
};

struct TGIFApplicationExtension {
    std::string Identifier;      // 8 bytes
    std::string Authentication;  // 3 bytes (2 for a 10-byte identifier block)
    // Set for the looping extensions when their sub-blocks carry the value.
    std::optional<uint16_t> LoopCount;
    std::optional<uint32_t> BufferSize;
    // Sub-blocks of extensions we do not interpret, stored as read.
    std::vector<std::string> Data;
};

using TGIFExtension =
    std::variant<TGIFGraphicControlExtension, TGIFCommentExtension, TGIFPlainTextExtension, TGIFApplicationExtension>;

struct TGIFImageDescriptor {
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t PackedFields = 0;  // bit 7: local colour table; bit 6: interlaced; bits 0-2: table size
    bool HasLocalColorTable() const { return (PackedFields & 0x80) != 0; }
    bool Interlaced() const { return (PackedFields & 0x40) != 0; }
};

struct TGIFFrame {
    std::vector<TGIFExtension> Extensions;
    bool HasDescriptor = false;
    TGIFImageDescriptor Descriptor;  // after the corrections made while reading
    TGIFColorTable LocalColorTable;
    // Width × height colour indices, rows from the top. Only the first frame
    // keeps them: later frames are decoded in full but their pixels dropped.
    std::vector<uint8_t> Pixels;
    bool HasPixelData = false;  // stays true when the pixels are dropped

    // The first graphic control extension governs the frame.
    const TGIFGraphicControlExtension* GraphicControl() const;
    bool Transparent() const;
    bool Empty() const { return !HasPixelData || Descriptor.Width == 0 || Descriptor.Height == 0; }
};

// The content of a loaded file.
struct TGIFData {
    TGIFHeader Header;
    TGIFColorTable GlobalColorTable;
    std::vector<TGIFFrame> Frames;
    // The logical screen after loading: grown to fit every frame.
    int Width = 0;
    int Height = 0;
};

}  // namespace gif
