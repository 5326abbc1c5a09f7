#include "analysis/palette_order.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

std::optional<TPaletteOrder> PaletteOrderFromName(std::string_view name) {
    if (name == "luminosity") return TPaletteOrder::Luminosity;
    if (name == "hue") return TPaletteOrder::Hue;
    if (name == "count") return TPaletteOrder::Count;
    if (name == "first") return TPaletteOrder::First;
    return std::nullopt;
}

const char* PaletteOrderName(TPaletteOrder order) {
    switch (order) {
    case TPaletteOrder::Hue: return "hue";
    case TPaletteOrder::Count: return "count";
    case TPaletteOrder::First: return "first";
    case TPaletteOrder::Luminosity: break;
    }
    return "luminosity";
}

THueKey HueKeyOf(TColor32 color) {
    const int red = RedComponent(color);
    const int green = GreenComponent(color);
    const int blue = BlueComponent(color);
    const int largest = std::max({red, green, blue});
    const int range = largest - std::min({red, green, blue});
    if (range == 0) return {0.0, 0.0};
    double sector;
    if (largest == red)
        sector = double(green - blue) / range + (green < blue ? 6 : 0);
    else if (largest == green)
        sector = double(blue - red) / range + 2;
    else
        sector = double(red - green) / range + 4;
    return {sector * 60.0, double(range) / largest};
}

namespace {

struct TKeyed {
    uint64_t Key;
    uint32_t Position;
};

// Least significant digit first, 11 bits a pass (few enough buckets to stay
// in the cache): stable, and passes whose digit is the same for every key
// (the unused upper bits) are skipped.
void RadixSortByKey(std::vector<TKeyed>& items) {
    constexpr int DigitBits = 11;
    constexpr size_t Buckets = size_t{1} << DigitBits;
    std::vector<TKeyed> scratch(items.size());
    std::vector<size_t> offsets(Buckets + 1);
    for (int shift = 0; shift < 64; shift += DigitBits) {
        std::fill(offsets.begin(), offsets.end(), 0);
        for (const TKeyed& item : items) ++offsets[((item.Key >> shift) & (Buckets - 1)) + 1];
        if (*std::max_element(offsets.begin(), offsets.end()) == items.size()) continue;
        for (size_t digit = 0; digit < Buckets; ++digit) offsets[digit + 1] += offsets[digit];
        for (const TKeyed& item : items) scratch[offsets[(item.Key >> shift) & (Buckets - 1)]++] = item;
        items.swap(scratch);
    }
}

// Sorts stably by an unsigned key computed once per colour; the pairs move
// once.
template <class Key>
void StableSortByKey(TPixelData& pairs, Key key) {
    std::vector<TKeyed> keyed;
    keyed.reserve(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) keyed.push_back({key(pairs[i]), static_cast<uint32_t>(i)});
    RadixSortByKey(keyed);
    TPixelData sorted;
    sorted.reserve(pairs.size());
    for (const TKeyed& item : keyed) sorted.push_back(pairs[item.Position]);
    pairs.swap(sorted);
}

// Hue and saturation as fixed-point integers, hue in the upper bits. Equal
// values of 8-bit components are computed to the same double, and distinct
// ones differ by at least 60 / (255 * 254) degrees and 1 / (255 * 254) in
// saturation: 2^14 steps a degree (23 bits up to 360) and 2^20 steps of
// saturation (21 bits) keep every one of them apart, in order.
uint64_t HueSortKey(TColor32 color) {
    const THueKey key = HueKeyOf(color);
    const auto hue = static_cast<uint64_t>(key.Hue * (1 << 14));
    const auto saturation = static_cast<uint64_t>(key.Saturation * (1 << 20));
    return hue << 21 | saturation;
}

}  // namespace

void SortByHue(TPixelData& luminosityOrdered) {
    if (luminosityOrdered.size() < 2) return;
    StableSortByKey(luminosityOrdered, [](const TLuminosityPair& pair) { return HueSortKey(pair.Value); });
}

void SortByCount(TPixelData& luminosityOrdered, const TColorCounts& counts) {
    if (luminosityOrdered.size() < 2) return;
    // Most frequent first: the complement sorts ascending.
    StableSortByKey(luminosityOrdered, [&](const TLuminosityPair& pair) { return ~counts.Of(pair.Value); });
}

TPixelData WithEveryDarkColor(const TPixelData& pairs, const std::vector<TColor32>& darkColors) {
    TPixelData colors;
    colors.reserve(pairs.size() + darkColors.size());
    for (const TLuminosityPair& pair : pairs) {
        if (pair.Key != 0) {
            colors.push_back(pair);
            continue;
        }
        for (TColor32 dark : darkColors) colors.push_back({0.0f, dark});
    }
    return colors;
}

std::vector<TColor32> DarkColorsOf(const TColor32* sample, size_t count) {
    std::vector<TColor32> dark;
    for (size_t i = 0; i < count; ++i)
        if ((sample[i] & 0x00FFFFFF) == 0) dark.push_back(sample[i]);
    return dark;
}

TPixelData AllColorPairs(const TColor32* sample, size_t count) {
    TPixelData pairs;
    pairs.reserve(count);
    for (size_t i = 0; i < count; ++i) pairs.push_back({Luminosity(sample[i]), sample[i]});
    return pairs;
}
