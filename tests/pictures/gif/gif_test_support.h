#pragma once
// Crafting LZW code streams and GIF files byte by byte for the GIF tests.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "pictures/gif/lzw_decoder.h"

namespace giftest {

// Packs codes least significant bit first, each at the width the format
// gives it: minimum code size + 1 after a clear code (and at the start), one
// bit more once the next free code reaches 2^width, never above 12 bits.
class CodeWriter {
public:
    explicit CodeWriter(int minimumCodeSize) : FMinimum(minimumCodeSize) { Reset(); }
    CodeWriter& Code(uint32_t code);
    CodeWriter& Codes(std::initializer_list<uint32_t> codes);
    CodeWriter& Raw(uint32_t code, int width);  // no table bookkeeping
    // Every pixel as a literal code, with clear codes before the table fills.
    CodeWriter& Literals(const std::vector<uint8_t>& pixels);
    uint32_t End() const { return (1u << FMinimum) + 1; }
    int Width() const { return FWidth; }
    std::vector<uint8_t> Bytes() const;

private:
    void Reset();
    int FMinimum, FWidth = 0;
    uint32_t FNextFree = 0;
    bool FAfterClear = true;
    std::vector<uint8_t> FBytes;
    uint64_t FBits = 0;
    int FBitCount = 0;
};

// Feeds bytes to the decoder in runs of up to 255 bytes.
class BytesInput : public gif::TLzwInput {
public:
    explicit BytesInput(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}
    std::span<const uint8_t> NextBytes() override;

private:
    std::vector<uint8_t> FBytes;
    size_t FNext = 0;
};

// Builds a GIF file piece by piece, each written as given.
class GifBuilder {
public:
    GifBuilder& Raw(std::vector<uint8_t> bytes);
    GifBuilder& Header(const std::string& signature = "GIF89a");
    // `colors` > 0 adds a global table (from `table`, else a grey ramp).
    GifBuilder& Screen(int width, int height, int colors = 0, int background = 0, std::vector<uint8_t> table = {});
    GifBuilder& GraphicControl(bool transparent, int transparentIndex);
    GifBuilder& Comment(const std::string& text);  // up to 255 bytes
    GifBuilder& Application(const std::string& identifier, std::vector<std::vector<uint8_t>> subBlocks);
    GifBuilder& Descriptor(int left, int top, int width, int height, int packed = 0, int localColors = 0,
                           std::vector<uint8_t> localTable = {});
    // Minimum code size, the data in sub-blocks, the zero-length sub-block.
    GifBuilder& ImageData(int minimumCodeSize, const std::vector<uint8_t>& data);
    // A whole non-interlaced frame of literal codes.
    GifBuilder& Frame(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                      int minimumCodeSize);
    GifBuilder& Trailer() { return Raw({';'}); }
    std::vector<uint8_t> Bytes() const { return FBytes; }

private:
    void Put16(int value);
    void PutTable(int colors, std::vector<uint8_t> table);
    std::vector<uint8_t> FBytes;
};

}  // namespace giftest
