#include "pictures/gdi/gdi_transfer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "pictures/gdi/gdi_rows.h"

namespace gdi {
namespace {

constexpr uint32_t ColorBits = 0x00FFFFFF;

// Which source pixel each target pixel of one axis takes, clipped to both
// extents. Target positions First .. First + Source.size() - 1 are drawn.
struct AxisMap {
    int32_t First = 0;
    std::vector<int32_t> Source;
    bool Identity = false;  // Source[i] == Source[0] + i
};

AxisMap MapAxis(int32_t to, int32_t toLength, int32_t targetSize, int32_t from, int32_t fromLength,
                int32_t sourceSize) {
    AxisMap map;
    bool mirror = false;
    int64_t toStart = to, toCount = toLength, fromStart = from, fromCount = fromLength;
    if (toCount < 0) {
        toStart += toCount;
        toCount = -toCount;
        mirror = !mirror;
    }
    if (fromCount < 0) {
        fromStart += fromCount;
        fromCount = -fromCount;
        mirror = !mirror;
    }
    if (toCount == 0 || fromCount == 0) return map;
    const int64_t begin = std::max<int64_t>(0, -toStart);
    const int64_t end = std::min<int64_t>(toCount, int64_t{targetSize} - toStart);
    map.Identity = !mirror && toCount == fromCount;
    for (int64_t i = begin; i < end; ++i) {
        int64_t offset = map.Identity ? i : (2 * i + 1) * fromCount / (2 * toCount);
        if (mirror) offset = fromCount - 1 - offset;
        const int64_t source = fromStart + offset;
        if (source < 0 || source >= sourceSize) {
            // The mapping is monotonic: once past the source's end nothing
            // further can come back inside; before its start, skip ahead.
            if (map.Source.empty()) continue;
            break;
        }
        if (map.Source.empty()) map.First = static_cast<int32_t>(toStart + i);
        map.Source.push_back(static_cast<int32_t>(source));
    }
    return map;
}

// Fills `count` pixels: one block is filled pixel by pixel and then copied
// on, which costs the same as a plain fill but keeps large fills fast in
// instrumented builds too, where every step of a pixel loop is counted.
void FillPixels(uint32_t* pixels, size_t count, uint32_t pixel) {
    constexpr size_t FillBlock = 1024;
    const size_t block = std::min(count, FillBlock);
    std::fill(pixels, pixels + block, pixel);
    for (size_t done = block; done < count; done += FillBlock)
        std::memcpy(pixels + done, pixels, std::min(FillBlock, count - done) * sizeof(uint32_t));
}

bool SameTable(const Surface& a, const Surface& b) {
    return a.ColorCount == b.ColorCount &&
           (a.ColorCount == 0 || std::memcmp(a.Colors, b.Colors, size_t(a.ColorCount) * sizeof(RGBQUAD)) == 0);
}

bool SameMasks(const Surface& a, const Surface& b) {
    for (int i = 0; i < 3; ++i)
        if (a.Channels[i].Mask != b.Channels[i].Mask) return false;
    return true;
}

// The source as it is read: a monochrome bitmap's bits stand for colours
// that the rules choose, with a table of its own.
struct SourceView {
    Surface View;
    std::array<RGBQUAD, 2> Table{};

    SourceView(const Surface& source, const Surface& target, const MonochromeRules& rules) : View(source) {
        if (!source.MonochromeDdb || target.MonochromeDdb) return;
        Table[0] = Quad(rules.ZeroColor);
        Table[1] = Quad(rules.OneColor);
        View.Colors = Table.data();
        View.ColorCount = 2;
    }
    static RGBQUAD Quad(uint32_t pixel) {
        return RGBQUAD{uint8_t(pixel), uint8_t(pixel >> 8), uint8_t(pixel >> 16), 0};
    }
};

// Writes decoded pixels into the target; a monochrome target takes 1 where
// the pixel matches the source key.
class TargetWriter {
public:
    TargetWriter(const Surface& target, const Surface& source, const MonochromeRules& rules)
        : FWriter(target),
          FMonochrome(target.MonochromeDdb && !source.MonochromeDdb),
          // The key is matched as the source's own coding holds it.
          FKey(QuantizeTo(source, rules.SourceKey) & ColorBits) {}

    void Write(int32_t y, int32_t x, int32_t count, uint32_t* pixels) {
        if (FMonochrome)
            for (int32_t i = 0; i < count; ++i) pixels[i] = (pixels[i] & ColorBits) == FKey ? ColorBits : 0;
        FWriter.Write(y, x, count, pixels);
    }

private:
    RowWriter FWriter;
    bool FMonochrome;
    uint32_t FKey;
};

// The quickest way to copy runs between two codings; Generic decodes and
// re-encodes every pixel.
enum class CopyWay { Generic, Bytes, Widen24, Narrow32, Lookup32, Lookup24, Translate8, Lookup16 };

// `pixels`: how many pixels the transfer moves, to judge whether a table of
// every 16-bit value pays for itself.
CopyWay ChooseCopyWay(const Surface& from, const Surface& target, int64_t pixels) {
    if (from.Kind == target.Kind && from.BitCount >= 8 && from.MonochromeDdb == target.MonochromeDdb &&
        (from.Kind != PixelKind::Index8 || SameTable(from, target)) && SameMasks(from, target))
        return CopyWay::Bytes;
    if (from.Kind == PixelKind::Bgr24 && target.Kind == PixelKind::Bgra32) return CopyWay::Widen24;
    if (from.Kind == PixelKind::Bgra32 && target.Kind == PixelKind::Bgr24) return CopyWay::Narrow32;
    if (from.Kind == PixelKind::Index8 && target.Kind == PixelKind::Bgra32) return CopyWay::Lookup32;
    if (from.Kind == PixelKind::Index8 && target.Kind == PixelKind::Bgr24) return CopyWay::Lookup24;
    if (from.Kind == PixelKind::Index8 && target.Kind == PixelKind::Index8 && !target.MonochromeDdb)
        return CopyWay::Translate8;
    if ((from.Kind == PixelKind::Rgb555 || from.Kind == PixelKind::Masked16) && !target.MonochromeDdb &&
        pixels >= 4 * 65536)
        return CopyWay::Lookup16;
    return CopyWay::Generic;
}

// One 32-bit store a pixel: the compiler vectorises this form.
void Widen24(const uint8_t* in, uint8_t* out, int32_t count) {
    for (int32_t i = 0; i < count; ++i, in += 3, out += 4) {
        const uint32_t pixel = uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16;
        std::memcpy(out, &pixel, sizeof pixel);
    }
}

void Narrow32(const uint8_t* in, uint8_t* out, int32_t count) {
    for (int32_t i = 0; i < count; ++i, in += 4, out += 3) {
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
    }
}

void Lookup24(const uint8_t* in, uint8_t* out, int32_t count, const std::array<uint32_t, 256>& lookup) {
    for (int32_t i = 0; i < count; ++i, out += 3) {
        const uint32_t pixel = lookup[in[i]];
        out[0] = uint8_t(pixel);
        out[1] = uint8_t(pixel >> 8);
        out[2] = uint8_t(pixel >> 16);
    }
}

// Copies runs of pixels at equal size, by the quickest way the two codings allow.
class RunCopier {
public:
    RunCopier(const Surface& target, const Surface& source, const MonochromeRules& rules, int64_t pixels)
        : FTarget(target), FSource(source, target, rules), FWriter(target, source, rules) {
        const Surface& from = FSource.View;
        FWay = ChooseCopyWay(from, target, pixels);
        if (FWay == CopyWay::Lookup32 || FWay == CopyWay::Lookup24) {
            for (int i = 0; i < 256; ++i) FLookup[i] = i < from.ColorCount ? PackQuad(from.Colors[i]) : 0;
        } else if (FWay == CopyWay::Translate8) {
            // Different tables: each source index maps to one target index.
            ColorMatcher matcher(target.Colors, target.ColorCount);
            for (int i = 0; i < 256; ++i)
                FIndices[i] = matcher.Index(i < from.ColorCount ? PackQuad(from.Colors[i]) : 0);
        } else if (FWay == CopyWay::Lookup16) {
            FWide.resize(65536);
            for (uint32_t value = 0; value < 65536; ++value) FWide[value] = DecodeMasked(value, from);
        }
    }

    void Copy(int32_t ty, int32_t tx, int32_t sy, int32_t sx, int32_t count) {
        const Surface& from = FSource.View;
        if (FWay == CopyWay::Generic) {
            FBuffer.resize(size_t(count));
            ReadPixels(from, sy, sx, count, FBuffer.data());
            FWriter.Write(ty, tx, count, FBuffer.data());
            return;
        }
        const uint8_t* in = from.Row(sy) + int64_t{sx} * (from.BitCount / 8);
        if (FWay == CopyWay::Lookup16) {
            FBuffer.resize(size_t(count));
            for (int32_t i = 0; i < count; ++i, in += 2) FBuffer[i] = FWide[in[0] | (in[1] << 8)];
            FWriter.Write(ty, tx, count, FBuffer.data());
            return;
        }
        uint8_t* out = FTarget.Row(ty) + int64_t{tx} * (FTarget.BitCount / 8);
        switch (FWay) {
        case CopyWay::Bytes: std::memmove(out, in, size_t(count) * size_t(from.BitCount / 8)); return;
        case CopyWay::Widen24: Widen24(in, out, count); return;
        case CopyWay::Narrow32: Narrow32(in, out, count); return;
        case CopyWay::Lookup32:
            for (int32_t i = 0; i < count; ++i, out += 4) std::memcpy(out, &FLookup[in[i]], 4);
            return;
        case CopyWay::Lookup24: Lookup24(in, out, count, FLookup); return;
        case CopyWay::Translate8:
            for (int32_t i = 0; i < count; ++i) out[i] = FIndices[in[i]];
            return;
        case CopyWay::Generic:
        case CopyWay::Lookup16: return;  // handled above
        }
    }

    // Writes already decoded pixels (used when stretching).
    void WriteDecoded(int32_t ty, int32_t tx, int32_t count, uint32_t* pixels) { FWriter.Write(ty, tx, count, pixels); }
    const Surface& Source() const { return FSource.View; }

private:
    Surface FTarget;
    SourceView FSource;
    TargetWriter FWriter;
    CopyWay FWay = CopyWay::Generic;
    std::array<uint32_t, 256> FLookup{};
    std::array<uint8_t, 256> FIndices{};
    std::vector<uint32_t> FWide;  // every 16-bit value decoded
    std::vector<uint32_t> FBuffer;
};

bool MaskBit(const Surface& mask, int32_t x, int32_t y) {
    if (mask.Empty() || x < 0 || y < 0 || x >= mask.Width || y >= mask.Height) return false;
    return (mask.Row(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

uint32_t BlendPixel(uint32_t source, uint32_t target) {
    const uint32_t alpha = source >> 24;
    if (alpha == 255) return source;
    if (source == 0) return target;  // transparent black leaves the target as it is
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t s = (source >> shift) & 0xFF, d = (target >> shift) & 0xFF;
        const uint32_t value = std::min<uint32_t>(255, s + (d * (255 - alpha) + 127) / 255);
        result |= value << shift;
    }
    return result;
}

// Writes the pixels of `after` that differ from `before`, run by run, so an
// indexed target keeps the very indices of the pixels that did not change.
void WriteChanged(TargetWriter& writer, int32_t y, int32_t x, const std::vector<uint32_t>& before,
                  std::vector<uint32_t>& after) {
    const int32_t count = static_cast<int32_t>(after.size());
    for (int32_t i = 0; i < count;) {
        if (after[i] == before[i]) {
            ++i;
            continue;
        }
        int32_t end = i + 1;
        while (end < count && after[end] != before[end]) ++end;
        writer.Write(y, x + i, end - i, after.data() + i);
        i = end;
    }
}

}  // namespace

void CopyArea(const Surface& target, Area to, const Surface& source, Area from, const MonochromeRules& rules) {
    if (target.Empty() || source.Empty()) return;
    const AxisMap columns = MapAxis(to.X, to.Width, target.Width, from.X, from.Width, source.Width);
    const AxisMap rows = MapAxis(to.Y, to.Height, target.Height, from.Y, from.Height, source.Height);
    if (columns.Source.empty() || rows.Source.empty()) return;
    RunCopier copier(target, source, rules, int64_t(columns.Source.size()) * int64_t(rows.Source.size()));
    const auto count = static_cast<int32_t>(columns.Source.size());
    if (columns.Identity) {
        for (size_t j = 0; j < rows.Source.size(); ++j)
            copier.Copy(rows.First + int32_t(j), columns.First, rows.Source[j], columns.Source[0], count);
        return;
    }
    // Stretching: decode the source columns the row needs, then pick.
    const auto [low, high] = std::minmax_element(columns.Source.begin(), columns.Source.end());
    std::vector<uint32_t> decoded(static_cast<size_t>(*high - *low + 1));
    std::vector<uint32_t> picked(static_cast<size_t>(count));
    int32_t decodedRow = -1;
    for (size_t j = 0; j < rows.Source.size(); ++j) {
        if (rows.Source[j] != decodedRow) {
            decodedRow = rows.Source[j];
            ReadPixels(copier.Source(), decodedRow, *low, int32_t(decoded.size()), decoded.data());
        }
        for (int32_t i = 0; i < count; ++i) picked[i] = decoded[columns.Source[i] - *low];
        copier.WriteDecoded(rows.First + int32_t(j), columns.First, count, picked.data());
    }
}

void MaskedCopy(const Surface& target, Area to, const Surface& source, int32_t sx, int32_t sy, const Surface& mask,
                int32_t mx, int32_t my, const MonochromeRules& rules) {
    if (target.Empty() || source.Empty()) return;
    const AxisMap columns = MapAxis(to.X, to.Width, target.Width, sx, to.Width, source.Width);
    const AxisMap rows = MapAxis(to.Y, to.Height, target.Height, sy, to.Height, source.Height);
    if (columns.Source.empty() || rows.Source.empty() || !columns.Identity || !rows.Identity) return;
    const SourceView view(source, target, rules);
    TargetWriter writer(target, source, rules);
    const auto count = static_cast<int32_t>(columns.Source.size());
    const int32_t maskX = mx + (columns.First - to.X), maskY = my + (rows.First - to.Y);
    std::vector<uint32_t> pixels(static_cast<size_t>(count));
    for (size_t j = 0; j < rows.Source.size(); ++j) {
        const int32_t y = rows.First + int32_t(j);
        ReadPixels(view.View, rows.Source[j], columns.Source[0], count, pixels.data());
        for (int32_t i = 0; i < count;) {
            if (MaskBit(mask, maskX + i, maskY + int32_t(j))) {
                ++i;
                continue;
            }
            int32_t end = i + 1;
            while (end < count && !MaskBit(mask, maskX + end, maskY + int32_t(j))) ++end;
            writer.Write(y, columns.First + i, end - i, pixels.data() + i);
            i = end;
        }
    }
}

void BlendArea(const Surface& target, Area to, const Surface& source, Area from) {
    if (target.Empty() || source.Empty() || source.Kind != PixelKind::Bgra32) return;
    const AxisMap columns = MapAxis(to.X, to.Width, target.Width, from.X, from.Width, source.Width);
    const AxisMap rows = MapAxis(to.Y, to.Height, target.Height, from.Y, from.Height, source.Height);
    if (columns.Source.empty() || rows.Source.empty()) return;
    const auto count = static_cast<int32_t>(columns.Source.size());
    if (target.Kind == PixelKind::Bgra32 && columns.Identity) {
        // The road of every 32-bit picture with alpha: blend in place.
        for (size_t j = 0; j < rows.Source.size(); ++j) {
            const uint8_t* in = source.Row(rows.Source[j]) + int64_t{columns.Source[0]} * 4;
            uint8_t* out = target.Row(rows.First + int32_t(j)) + int64_t{columns.First} * 4;
            for (int32_t i = 0; i < count; ++i, in += 4, out += 4) {
                uint32_t s, d;
                std::memcpy(&s, in, 4);
                std::memcpy(&d, out, 4);
                d = BlendPixel(s, d);
                std::memcpy(out, &d, 4);
            }
        }
        return;
    }
    TargetWriter writer(target, source, MonochromeRules{});
    std::vector<uint32_t> before(static_cast<size_t>(count)), after(static_cast<size_t>(count));
    std::vector<uint32_t> sourceRow(static_cast<size_t>(source.Width));
    for (size_t j = 0; j < rows.Source.size(); ++j) {
        const int32_t y = rows.First + int32_t(j);
        ReadPixels(source, rows.Source[j], 0, source.Width, sourceRow.data());
        ReadPixels(target, y, columns.First, count, before.data());
        for (int32_t i = 0; i < count; ++i) after[i] = BlendPixel(sourceRow[columns.Source[i]], before[i]);
        WriteChanged(writer, y, columns.First, before, after);
    }
}

void FillArea(const Surface& target, Area area, uint32_t pixel) {
    if (target.Empty()) return;
    const int32_t left = std::max(0, area.X), top = std::max(0, area.Y);
    const int32_t right = int32_t(std::min<int64_t>(target.Width, int64_t{area.X} + area.Width));
    const int32_t bottom = int32_t(std::min<int64_t>(target.Height, int64_t{area.Y} + area.Height));
    if (left >= right || top >= bottom) return;
    if (target.Kind == PixelKind::Bgra32) {
        const int64_t width = right - left;
        if (width == target.Width && target.RowBytes == width * 4) {  // whole rows lie end to end
            auto* first = reinterpret_cast<uint32_t*>(std::min(target.Row(top), target.Row(bottom - 1)));
            FillPixels(first, size_t(width) * size_t(bottom - top), pixel);
            return;
        }
        for (int32_t y = top; y < bottom; ++y)
            FillPixels(reinterpret_cast<uint32_t*>(target.Row(y)) + left, size_t(width), pixel);
        return;
    }
    RowWriter writer(target);
    std::vector<uint32_t> pixels(size_t(right - left), pixel);
    for (int32_t y = top; y < bottom; ++y) writer.Write(y, left, right - left, pixels.data());
}

}  // namespace gdi
