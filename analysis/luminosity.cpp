#include "analysis/luminosity.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The tolerance for an epsilon of 0: max(min(|a|, |b|) / 10000, 1 / 10000)
// rounded to a float. Dividing in double and rounding to float gives the
// nearest float to the exact quotient (see Luminosity).
double DefaultTolerance(double smaller) {
    return std::max(static_cast<float>(smaller / 10000.0), static_cast<float>(1 / 10000.0));
}

}  // namespace

bool SameValue(float a, float b, float epsilon) {
    // Two floats differ by an amount that double holds exactly.
    const double difference = std::fabs(double{a} - double{b});
    if (epsilon != 0) return difference <= double{epsilon};
    const double smaller = std::min(std::fabs(double{a}), std::fabs(double{b}));
    // The rounded tolerance lies within a float's rounding of
    // max(smaller, 1) / 10000; only differences that close need it exactly.
    // This keeps the division out of nearly every comparison of a sort.
    const double scale = std::max(smaller, 1.0);
    if (difference > scale * 1.0001e-4) return false;
    if (difference < scale * 0.9999e-4) return true;
    return difference <= DefaultTolerance(smaller);
}

int CompareValue(float a, float b, float epsilon) {
    if (SameValue(a, b, epsilon)) return 0;
    return a < b ? -1 : 1;
}

namespace {

// Appends the pairs of `count` sample entries; zeroFound says whether the
// entry of luminosity 0 is in the list already, and is kept up to date.
void AppendPairs(const TColor32* sample, size_t count, TPixelData& pairs, bool& zeroFound) {
    for (size_t i = 0; i < count; ++i) {
        // The luminosity is 0 exactly when red, green and blue are: a sample's
        // zero-filled tail, most of a many-coloured picture's sample, then
        // costs no division.
        if ((sample[i] & 0x00FFFFFF) != 0) {
            pairs.push_back({Luminosity(sample[i]), sample[i]});
        } else if (!zeroFound) {
            pairs.push_back({0.0f, sample[i]});
            zeroFound = true;
        }
    }
}

}  // namespace

TPixelData CollectLuminosityPairs(const TColor32* sample, size_t count, size_t expectedCount) {
    TPixelData pairs;
    // One more than the colours, for the zero-filled tail's entry.
    pairs.reserve(std::min(count, expectedCount + 1));
    bool zeroFound = false;
    AppendPairs(sample, count, pairs, zeroFound);
    return pairs;
}

TPixelData CollectLuminosityPairs(const TCustomBitmap32& sample, size_t expectedCount) {
    if (sample.Bits() == nullptr) return {};
    return CollectLuminosityPairs(sample.Bits(), size_t(sample.Width()) * size_t(sample.Height()), expectedCount);
}

TPixelData CollectSamplePairs(const TCustomBitmap32& sample, size_t colorCount) {
    if (sample.Bits() == nullptr) return {};
    const size_t count = size_t(sample.Width()) * size_t(sample.Height());
    const size_t colors = std::min(colorCount, count);
    TPixelData pairs;
    pairs.reserve(colors + 1);
    bool zeroFound = false;
    AppendPairs(sample.Bits(), colors, pairs, zeroFound);
    // The first zero of the tail, as reading it would find it.
    if (count > colors && !zeroFound) pairs.push_back({0.0f, 0});
    return pairs;
}
