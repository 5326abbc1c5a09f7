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

// Sorts by a key, stably, through a list of (key, position): the pairs move
// once, and the key is computed once per colour.
template <class Key, class Less>
void StableSortByKey(TPixelData& pairs, Key key, Less less) {
    using TKeyed = std::pair<decltype(key(pairs[0])), uint32_t>;
    std::vector<TKeyed> keyed;
    keyed.reserve(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) keyed.push_back({key(pairs[i]), static_cast<uint32_t>(i)});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [&](const TKeyed& a, const TKeyed& b) { return less(a.first, b.first); });
    TPixelData sorted;
    sorted.reserve(pairs.size());
    for (const TKeyed& item : keyed) sorted.push_back(pairs[item.second]);
    pairs.swap(sorted);
}

}  // namespace

void SortByHue(TPixelData& luminosityOrdered) {
    if (luminosityOrdered.size() < 2) return;
    StableSortByKey(
        luminosityOrdered, [](const TLuminosityPair& pair) { return HueKeyOf(pair.Value); },
        [](const THueKey& a, const THueKey& b) {
            return a.Hue != b.Hue ? a.Hue < b.Hue : a.Saturation < b.Saturation;
        });
}

void SortByCount(TPixelData& luminosityOrdered, const TColorCounts& counts) {
    if (luminosityOrdered.size() < 2) return;
    StableSortByKey(
        luminosityOrdered, [&](const TLuminosityPair& pair) { return counts.Of(pair.Value); },
        [](uint64_t a, uint64_t b) { return a > b; });
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
