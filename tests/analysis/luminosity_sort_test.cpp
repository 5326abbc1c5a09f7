// The luminosity sort against a plain copy of the procedure it must match,
// swap for swap, on keys crowded within the tolerance of each other.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "analysis/luminosity.h"
#include "base/exception.h"

namespace {

// The order's definition written as plainly as possible: the tolerance
// divided out on every comparison, no shortcuts, no thresholds.
bool PlainSame(float a, float b) {
    const float tolerance =
        std::max(static_cast<float>(std::min(std::fabs(a), std::fabs(b)) / 10000.0), static_cast<float>(1 / 10000.0));
    return std::fabs(double{a} - double{b}) <= tolerance;
}

int PlainCompare(const TLuminosityPair& left, const TLuminosityPair& right) {
    if (PlainSame(right.Key, left.Key)) return 0;
    return right.Key < left.Key ? -1 : 1;
}

void PlainQuickSort(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right) {
    if (left >= right) return;
    do {
        if (right - left == 1) {
            if (PlainCompare(values[left], values[right]) > 0) std::swap(values[left], values[right]);
            return;
        }
        ptrdiff_t i = left;
        ptrdiff_t j = right;
        const TLuminosityPair pivot = values[left + (right - left) / 2];
        do {
            while (PlainCompare(values[i], pivot) < 0) ++i;
            while (PlainCompare(values[j], pivot) > 0) --j;
            if (i <= j) {
                if (i != j) std::swap(values[i], values[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left > right - i) {
            if (i < right) PlainQuickSort(values, i, right);
            right = j;
        } else {
            if (left < j) PlainQuickSort(values, left, j);
            left = i;
        }
    } while (left < right);
}

// Keys crowded around a random centre, a few tolerances wide, with repeats,
// the occasional zero and, in some inputs, true luminosities of colours one
// step apart (the keys real pictures give).
TPixelData CrowdedKeys(std::mt19937& random) {
    std::uniform_int_distribution<int> sizes(2, random() % 8 == 0 ? 3000 : 120);
    const size_t size = static_cast<size_t>(sizes(random));
    const double centre = std::uniform_real_distribution<double>(0, 255)(random);
    const double spread = std::max(centre, 1.0) * 1e-4 * std::uniform_real_distribution<double>(0.5, 6)(random);
    std::uniform_real_distribution<double> offset(-spread, spread);
    const bool realColours = random() % 3 == 0;
    TPixelData pairs;
    for (size_t k = 0; k < size; ++k) {
        float key;
        const uint32_t pick = random() % 16;
        if (pick == 0 && !pairs.empty()) {
            key = pairs[random() % pairs.size()].Key;
        } else if (pick == 1) {
            key = 0;
        } else if (realColours) {
            const uint32_t grey = static_cast<uint32_t>(std::clamp(centre, 1.0, 254.0));
            const TColor32 colour = ((grey + random() % 3 - 1) << 16) | ((grey + random() % 3 - 1) << 8) | grey;
            key = Luminosity(colour);
        } else {
            key = static_cast<float>(std::max(0.0, centre + offset(random)));
        }
        pairs.push_back({key, static_cast<TColor32>(k)});
    }
    return pairs;
}

std::vector<TColor32> Colours(const TPixelData& pairs) {
    std::vector<TColor32> colours;
    for (const TLuminosityPair& pair : pairs) colours.push_back(pair.Value);
    return colours;
}

}  // namespace

TEST(LuminositySort, MatchesThePlainProcedureOnCrowdedKeys) {
    std::mt19937 random(20261210);
    size_t differing = 0;
    for (int input = 0; input < 12000; ++input) {
        TPixelData pairs = CrowdedKeys(random);
        TPixelData expected = pairs;
        PlainQuickSort(expected.data(), 0, static_cast<ptrdiff_t>(expected.size()) - 1);
        SortByLuminosity(pairs);
        if (Colours(pairs) != Colours(expected) && ++differing <= 3)
            ADD_FAILURE() << "input " << input << " of " << pairs.size() << " keys sorts differently";
    }
    EXPECT_EQ(differing, 0u);
}

TEST(LuminositySort, MatchesThePlainProcedureOnEveryColourLevel) {
    // Keys spread over the whole range, each from a real colour: the sort of
    // a many-coloured picture.
    std::mt19937 random(7);
    TPixelData pairs;
    for (uint32_t k = 0; k < 200000; ++k) {
        const TColor32 colour = random() & 0xFFFFFF;
        pairs.push_back({Luminosity(colour), colour});
    }
    TPixelData expected = pairs;
    PlainQuickSort(expected.data(), 0, static_cast<ptrdiff_t>(expected.size()) - 1);
    SortByLuminosity(pairs);
    EXPECT_TRUE(Colours(pairs) == Colours(expected));
}

TEST(LuminositySort, PartsSortedAtOnceKeepThePlainOrder) {
    // Large enough that the two parts of the first partition are sorted at
    // once, and crowded so that near-ties straddle the first pivot.
    std::mt19937 random(11);
    std::uniform_real_distribution<double> offset(-3e-3, 3e-3);
    TPixelData pairs;
    for (uint32_t k = 0; k < 300000; ++k) {
        const double centre = 10.0 * double(random() % 4 + 1);
        pairs.push_back({static_cast<float>(centre + offset(random)), k});
    }
    TPixelData expected = pairs;
    PlainQuickSort(expected.data(), 0, static_cast<ptrdiff_t>(expected.size()) - 1);
    SortByLuminosity(pairs);
    EXPECT_TRUE(Colours(pairs) == Colours(expected));
}

TEST(LuminositySort, RefusesKeysThatAreNotNumbers) {
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        TPixelData pairs = {{1.0f, 1}, {bad, 2}, {3.0f, 3}};
        EXPECT_THROW(SortByLuminosity(pairs), Exception) << bad;
    }
}
