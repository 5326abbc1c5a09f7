#include "pictures/gdi/gdi_rows.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace gdi {
namespace {

constexpr uint32_t ColorBits = 0x00FFFFFF;

ChannelMask MakeChannel(uint32_t mask) {
    ChannelMask channel;
    channel.Mask = mask;
    if (mask != 0) {
        channel.Shift = std::countr_zero(mask);
        channel.Bits = std::popcount(mask);
    }
    return channel;
}

bool Contiguous(uint32_t mask) {
    if (mask == 0) return false;
    const uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

// Widens a channel of `bits` bits to 8 by repeating its high bits, so that
// the largest value becomes 255 and 0 stays 0.
uint32_t Widen(uint32_t value, int bits) {
    if (bits >= 8) return (value >> (bits - 8)) & 0xFF;
    uint32_t result = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) result |= result >> bits;
    return result & 0xFF;
}

uint32_t Narrow(uint32_t channel, int bits) {
    if (bits >= 8) return channel << (bits - 8);
    return channel >> (8 - bits);
}

uint32_t ReadMasked(uint32_t value, const ChannelMask* channels) {
    const uint32_t red = Widen((value & channels[0].Mask) >> channels[0].Shift, channels[0].Bits);
    const uint32_t green = Widen((value & channels[1].Mask) >> channels[1].Shift, channels[1].Bits);
    const uint32_t blue = Widen((value & channels[2].Mask) >> channels[2].Shift, channels[2].Bits);
    return blue | (green << 8) | (red << 16);
}

uint32_t WriteMasked(uint32_t pixel, const ChannelMask* channels) {
    const uint32_t blue = pixel & 0xFF, green = (pixel >> 8) & 0xFF, red = (pixel >> 16) & 0xFF;
    return ((Narrow(red, channels[0].Bits) << channels[0].Shift) & channels[0].Mask) |
           ((Narrow(green, channels[1].Bits) << channels[1].Shift) & channels[1].Mask) |
           ((Narrow(blue, channels[2].Bits) << channels[2].Shift) & channels[2].Mask);
}

uint32_t TableColor(const Surface& surface, uint32_t index) {
    return index < static_cast<uint32_t>(surface.ColorCount) ? PackQuad(surface.Colors[index]) : 0;
}

void ReadIndexed(const Surface& surface, const uint8_t* row, int32_t x, int32_t count, uint32_t* out) {
    if (surface.BitCount == 1) {
        for (int64_t position = x, end = int64_t{x} + count; position < end; ++position)
            *out++ = TableColor(surface, (row[position >> 3] >> (7 - (position & 7))) & 1);
        return;
    }
    for (int64_t position = x, end = int64_t{x} + count; position < end; ++position)
        *out++ = TableColor(surface, (row[position >> 1] >> ((position & 1) ? 0 : 4)) & 0x0F);
}

void WriteIndex(const Surface& surface, uint8_t* row, int64_t position, uint8_t index) {
    const int bits = surface.BitCount;
    if (bits == 8) {
        row[position] = index;
        return;
    }
    const int perByte = 8 / bits;
    const int shift = 8 - bits * (1 + static_cast<int>(position % perByte));
    const uint8_t valueMask = static_cast<uint8_t>(((1u << bits) - 1) << shift);
    uint8_t& byte = row[position / perByte];
    byte = static_cast<uint8_t>((byte & ~valueMask) | ((index << shift) & valueMask));
}

}  // namespace

bool DescribeFormat(int bitCount, uint32_t compression, const uint32_t masks[3], Surface& surface) {
    surface.BitCount = bitCount;
    switch (bitCount) {
    case 1: surface.Kind = PixelKind::Index1; return compression == BI_RGB;
    case 4: surface.Kind = PixelKind::Index4; return compression == BI_RGB;
    case 8: surface.Kind = PixelKind::Index8; return compression == BI_RGB;
    case 24: surface.Kind = PixelKind::Bgr24; return compression == BI_RGB;
    case 16:
    case 32: break;
    default: return false;
    }
    if (compression == BI_RGB) {
        surface.Kind = bitCount == 16 ? PixelKind::Rgb555 : PixelKind::Bgra32;
        const uint32_t standard16[3] = {0x7C00, 0x03E0, 0x001F};
        const uint32_t standard32[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        for (int i = 0; i < 3; ++i) surface.Channels[i] = MakeChannel(bitCount == 16 ? standard16[i] : standard32[i]);
        return true;
    }
    if (compression != BI_BITFIELDS || masks == nullptr) return false;
    const uint64_t limit = bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
    for (int i = 0; i < 3; ++i) {
        if (!Contiguous(masks[i]) || masks[i] > limit) return false;
        for (int j = 0; j < i; ++j)
            if ((masks[i] & masks[j]) != 0) return false;
        surface.Channels[i] = MakeChannel(masks[i]);
    }
    if (bitCount == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF)
        surface.Kind = PixelKind::Bgra32;
    else
        surface.Kind = bitCount == 16 ? PixelKind::Masked16 : PixelKind::Masked32;
    return true;
}

bool DescribeBlock(const BitmapInfo& info, const void* bits, Surface& surface) {
    const BITMAPINFOHEADER& header = info.Header;
    if (header.biSize < SmallestInfoHeader || header.biWidth <= 0 || header.biHeight == 0 ||
        header.biHeight == std::numeric_limits<int32_t>::min())
        return false;
    if (!DescribeFormat(header.biBitCount, header.biCompression, info.Masks, surface)) return false;
    surface.Width = header.biWidth;
    surface.Height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    surface.TopDown = header.biHeight < 0;
    surface.RowBytes = DibRowBytes(surface.Width, surface.BitCount);
    if (surface.RowBytes < 0) return false;
    surface.Bits = static_cast<uint8_t*>(const_cast<void*>(bits));
    if (surface.Indexed()) {
        size_t count = std::min<size_t>(info.Colors.size(), size_t{1} << surface.BitCount);
        if (header.biClrUsed != 0) count = std::min<size_t>(count, header.biClrUsed);
        surface.Colors = info.Colors.data();
        surface.ColorCount = static_cast<int>(count);
    }
    return true;
}

uint32_t DecodeMasked(uint32_t value, const Surface& surface) { return ReadMasked(value, surface.Channels); }

void ReadPixels(const Surface& surface, int32_t y, int32_t x, int32_t count, uint32_t* out) {
    const uint8_t* row = surface.Row(y);
    switch (surface.Kind) {
    case PixelKind::Index1:
    case PixelKind::Index4: ReadIndexed(surface, row, x, count, out); return;
    case PixelKind::Index8:
        for (int32_t i = 0; i < count; ++i) out[i] = TableColor(surface, row[x + i]);
        return;
    case PixelKind::Rgb555:
    case PixelKind::Masked16: {
        const uint8_t* p = row + int64_t{x} * 2;
        for (int32_t i = 0; i < count; ++i, p += 2) out[i] = ReadMasked(p[0] | (p[1] << 8), surface.Channels);
        return;
    }
    case PixelKind::Bgr24: {
        const uint8_t* p = row + int64_t{x} * 3;
        for (int32_t i = 0; i < count; ++i, p += 3) out[i] = p[0] | (p[1] << 8) | (uint32_t(p[2]) << 16);
        return;
    }
    case PixelKind::Bgra32: std::memcpy(out, row + int64_t{x} * 4, size_t(count) * 4); return;
    case PixelKind::Masked32: {
        const uint8_t* p = row + int64_t{x} * 4;
        for (int32_t i = 0; i < count; ++i, p += 4) {
            uint32_t value;
            std::memcpy(&value, p, 4);
            out[i] = ReadMasked(value, surface.Channels);
        }
        return;
    }
    }
}

ColorMatcher::ColorMatcher(const RGBQUAD* colors, int count) {
    FTable.reserve(count);
    for (int i = 0; i < count; ++i) {
        FTable.push_back(PackQuad(colors[i]));
        FKnown.emplace(FTable.back(), static_cast<uint8_t>(i));  // the first entry of a colour wins
    }
}

uint8_t ColorMatcher::Index(uint32_t pixel) {
    pixel &= ColorBits;
    if (const auto known = FKnown.find(pixel); known != FKnown.end()) return known->second;
    uint8_t best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < FTable.size(); ++i) {
        const int db = int(pixel & 0xFF) - int(FTable[i] & 0xFF);
        const int dg = int((pixel >> 8) & 0xFF) - int((FTable[i] >> 8) & 0xFF);
        const int dr = int((pixel >> 16) & 0xFF) - int((FTable[i] >> 16) & 0xFF);
        const int64_t distance = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<uint8_t>(i);
        }
    }
    FKnown.emplace(pixel, best);
    return best;
}

RowWriter::RowWriter(const Surface& surface) : FSurface(surface) {
    if (surface.Indexed()) FMatcher = std::make_unique<ColorMatcher>(surface.Colors, surface.ColorCount);
}

void RowWriter::Write(int32_t y, int32_t x, int32_t count, const uint32_t* pixels) {
    uint8_t* row = FSurface.Row(y);
    switch (FSurface.Kind) {
    case PixelKind::Index1:
    case PixelKind::Index4:
    case PixelKind::Index8:
        for (int32_t i = 0; i < count; ++i) WriteIndex(FSurface, row, int64_t{x} + i, FMatcher->Index(pixels[i]));
        return;
    case PixelKind::Rgb555:
    case PixelKind::Masked16: {
        uint8_t* p = row + int64_t{x} * 2;
        for (int32_t i = 0; i < count; ++i, p += 2) {
            const uint32_t value = WriteMasked(pixels[i], FSurface.Channels);
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
        }
        return;
    }
    case PixelKind::Bgr24: {
        uint8_t* p = row + int64_t{x} * 3;
        for (int32_t i = 0; i < count; ++i, p += 3) {
            p[0] = static_cast<uint8_t>(pixels[i]);
            p[1] = static_cast<uint8_t>(pixels[i] >> 8);
            p[2] = static_cast<uint8_t>(pixels[i] >> 16);
        }
        return;
    }
    case PixelKind::Bgra32: std::memcpy(row + int64_t{x} * 4, pixels, size_t(count) * 4); return;
    case PixelKind::Masked32: {
        uint8_t* p = row + int64_t{x} * 4;
        for (int32_t i = 0; i < count; ++i, p += 4) {
            const uint32_t value = WriteMasked(pixels[i], FSurface.Channels);
            std::memcpy(p, &value, 4);
        }
        return;
    }
    }
}

uint32_t QuantizeTo(const Surface& surface, uint32_t pixel) {
    switch (surface.Kind) {
    case PixelKind::Index1:
    case PixelKind::Index4:
    case PixelKind::Index8: {
        if (surface.ColorCount == 0) return 0;
        ColorMatcher matcher(surface.Colors, surface.ColorCount);
        return PackQuad(surface.Colors[matcher.Index(pixel)]);
    }
    case PixelKind::Rgb555:
    case PixelKind::Masked16:
    case PixelKind::Masked32: return ReadMasked(WriteMasked(pixel, surface.Channels), surface.Channels);
    case PixelKind::Bgr24: return pixel & ColorBits;
    case PixelKind::Bgra32: return pixel;
    }
    return pixel;
}

}  // namespace gdi
