#include "gif_test_support.h"

#include <algorithm>

namespace giftest {

void CodeWriter::Reset() {
    FWidth = FMinimum + 1;
    FNextFree = (1u << FMinimum) + 2;
    FAfterClear = true;
}

CodeWriter& CodeWriter::Raw(uint32_t code, int width) {
    FBits |= static_cast<uint64_t>(code) << FBitCount;
    for (FBitCount += width; FBitCount >= 8; FBitCount -= 8, FBits >>= 8) FBytes.push_back(uint8_t(FBits));
    return *this;
}

CodeWriter& CodeWriter::Code(uint32_t code) {
    Raw(code, FWidth);
    if (code == End() - 1) {
        Reset();
    } else if (FAfterClear) {
        FAfterClear = false;
    } else if (code != End() && FNextFree < 4096 && ++FNextFree == (1u << FWidth) && FWidth < 12) {
        ++FWidth;
    }
    return *this;
}

CodeWriter& CodeWriter::Codes(std::initializer_list<uint32_t> codes) {
    for (uint32_t code : codes) Code(code);
    return *this;
}

CodeWriter& CodeWriter::Literals(const std::vector<uint8_t>& pixels) {
    for (uint8_t pixel : pixels) {
        if (FNextFree >= 4000) Code(End() - 1);
        Code(pixel);
    }
    return *this;
}

std::vector<uint8_t> CodeWriter::Bytes() const {
    std::vector<uint8_t> bytes = FBytes;
    if (FBitCount > 0) bytes.push_back(static_cast<uint8_t>(FBits));
    return bytes;
}

std::span<const uint8_t> BytesInput::NextBytes() {
    size_t count = std::min<size_t>(255, FBytes.size() - FNext);
    FNext += count;
    return {FBytes.data() + FNext - count, count};
}

void GifBuilder::Put16(int value) { Raw({uint8_t(value), uint8_t(value >> 8)}); }

void GifBuilder::PutTable(int colors, std::vector<uint8_t> table) {
    for (int i = static_cast<int>(table.size()) / 3; i < colors; ++i) table.insert(table.end(), 3, uint8_t(i));
    table.resize(static_cast<size_t>(colors) * 3);
    Raw(table);
}

// The packed fields' size bits of a table of `colors` entries.
static int SizeBits(int colors) {
    int bits = 0;
    while ((2 << bits) < colors) ++bits;
    return bits;
}

GifBuilder& GifBuilder::Raw(std::vector<uint8_t> bytes) {
    FBytes.insert(FBytes.end(), bytes.begin(), bytes.end());
    return *this;
}

GifBuilder& GifBuilder::Header(const std::string& signature) { return Raw({signature.begin(), signature.end()}); }

GifBuilder& GifBuilder::Screen(int width, int height, int colors, int background, std::vector<uint8_t> table) {
    Put16(width);
    Put16(height);
    Raw({uint8_t(colors > 0 ? 0x80 | SizeBits(colors) : 0), uint8_t(background), 0});
    if (colors > 0) PutTable(colors, std::move(table));
    return *this;
}

GifBuilder& GifBuilder::GraphicControl(bool transparent, int transparentIndex) {
    return Raw({'!', 0xF9, 4, uint8_t(transparent ? 1 : 0), 0, 0, uint8_t(transparentIndex), 0});
}

GifBuilder& GifBuilder::Comment(const std::string& text) {
    Raw({'!', 0xFE, uint8_t(text.size())});
    return Raw({text.begin(), text.end()}).Raw({0});
}

GifBuilder& GifBuilder::Application(const std::string& identifier, std::vector<std::vector<uint8_t>> subBlocks) {
    Raw({'!', 0xFF, uint8_t(identifier.size())}).Raw({identifier.begin(), identifier.end()});
    for (const auto& block : subBlocks) Raw({uint8_t(block.size())}).Raw(block);
    return Raw({0});
}

GifBuilder& GifBuilder::Descriptor(int left, int top, int width, int height, int packed, int localColors,
                                   std::vector<uint8_t> localTable) {
    Raw({','});
    for (int value : {left, top, width, height}) Put16(value);
    Raw({uint8_t(localColors > 0 ? packed | 0x80 | SizeBits(localColors) : packed)});
    if (localColors > 0) PutTable(localColors, std::move(localTable));
    return *this;
}

GifBuilder& GifBuilder::ImageData(int minimumCodeSize, const std::vector<uint8_t>& data) {
    Raw({uint8_t(minimumCodeSize)});
    for (size_t at = 0; at < data.size(); at += 255) {
        size_t length = std::min<size_t>(255, data.size() - at);
        Raw({uint8_t(length)}).Raw({data.begin() + at, data.begin() + at + length});
    }
    return Raw({0});
}

GifBuilder& GifBuilder::Frame(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                              int minimumCodeSize) {
    CodeWriter codes(minimumCodeSize);
    codes.Literals(pixels).Code(codes.End());
    return Descriptor(left, top, width, height).ImageData(minimumCodeSize, codes.Bytes());
}

}  // namespace giftest
