#pragma once
// Ordering the sample's colours by luminosity, brightest first. The ordering
// compares luminosities with a relative tolerance, which is not transitive, so
// the order is whatever the exact QuickSort below produces; both palette files
// list the colours in that order.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/large_block_allocator.h"
#include "pixels/bitmap32.h"

struct TLuminosityPair {
    float Key;       // the luminosity
    TColor32 Value;  // the colour, alpha included
};
using TPixelData = std::vector<TLuminosityPair, TLargeBlockAllocator<TLuminosityPair>>;

// The float nearest to (299 R + 587 G + 114 B) / 1000; alpha takes no part.
// 0 exactly when red, green and blue are all 0.
inline float Luminosity(TColor32 color) {
    const uint32_t weighted = 299 * ((color >> 16) & 0xFF) + 587 * ((color >> 8) & 0xFF) + 114 * (color & 0xFF);
    // Rounding the double quotient to float again gives the nearest float to
    // the exact quotient: double has more than twice float's precision plus
    // two bits, which makes the double rounding of a division harmless.
    return static_cast<float>(weighted / 1000.0);
}

// |a - b| <= epsilon, the difference formed exactly. An epsilon of 0 means
// max(min(|a|, |b|) / 10000, 1 / 10000) rounded to a float.
bool SameValue(float a, float b, float epsilon);
// 0 when SameValue(a, b, epsilon), otherwise -1 when a < b, otherwise +1.
int CompareValue(float a, float b, float epsilon = 0);

// Negative when left is brighter than right beyond the tolerance.
inline int CompareLuminosity(const TLuminosityPair& left, const TLuminosityPair& right) {
    return CompareValue(right.Key, left.Key, 0);
}

// The pairs of a sample in its row order: every colour whose luminosity is not
// 0, and of the colours with luminosity 0 only the first. expectedCount, when
// known (the sample's number of colours), lets the list be sized once.
TPixelData CollectLuminosityPairs(const TColor32* sample, size_t count, size_t expectedCount = 0);
TPixelData CollectLuminosityPairs(const TCustomBitmap32& sample, size_t expectedCount = 0);
// The same pairs for a sample made by CreateSampleColorImage, whose entries
// after its colorCount colours are all 0, without reading those zeros: a
// large picture's tail is most of its sample, memory never touched so far.
TPixelData CollectSamplePairs(const TCustomBitmap32& sample, size_t colorCount);

// The in-place QuickSort over values[left .. right] (inclusive) whose output
// order is the ordering's definition: the middle item's copy as pivot, the
// smaller part by recursion, the larger by the loop.
void QuickSort(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right);
// Brightest first; a list of fewer than two entries is left alone.
void SortByLuminosity(TPixelData& pixelData);
