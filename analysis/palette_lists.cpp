#include "analysis/palette_lists.h"

#include <stdexcept>

namespace {

void Refine(TPixelData& luminosityOrdered, TPaletteOrder order, const TColorCounts* counts) {
    if (order == TPaletteOrder::Hue) SortByHue(luminosityOrdered);
    if (order != TPaletteOrder::Count) return;
    if (counts == nullptr) throw std::logic_error("the count order needs the counts");
    SortByCount(luminosityOrdered, *counts);
}

}  // namespace

TPaletteLists OrderedPaletteLists(const TCustomBitmap32& sample, size_t distinctCount, TPaletteOrder order,
                                  const TColorCounts* counts, bool wantColors) {
    TPaletteLists lists;
    lists.Pairs = CollectSamplePairs(sample, distinctCount);
    if (order == TPaletteOrder::First) {
        if (wantColors) lists.Colors = AllColorPairs(sample.Bits(), distinctCount);
        return lists;
    }
    SortByLuminosity(lists.Pairs);
    // The colours follow the pairs' luminosity order exactly; only then do
    // both take the refinement, which is stable.
    if (wantColors) {
        lists.Colors = WithEveryDarkColor(lists.Pairs, DarkColorsOf(sample.Bits(), distinctCount));
        Refine(lists.Colors, order, counts);
    }
    Refine(lists.Pairs, order, counts);
    return lists;
}
