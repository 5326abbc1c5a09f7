#include "analysis/luminosity.h"

#include <cmath>
#include <limits>
#include <system_error>
#include <thread>
#include <utility>

#include "base/exception.h"

// The sort spends nearly all its time in the two scans of a partition, each
// asking "is this key brighter (darker) than the pivot beyond the tolerance?".
// For a fixed pivot both answers are monotone in the key: above the pivot the
// tolerance is the pivot's own, so the difference alone decides; below it the
// tolerance grows by at most a ten-thousandth of what the difference grows.
// Each question is therefore one float comparison against a threshold found
// once per partition, and the sort makes exactly the swaps it made before.

namespace {

constexpr float Infinity = std::numeric_limits<float>::infinity();

// The float nearest a double, infinite beyond float's range.
float ToFloat(double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max()) return value > 0 ? Infinity : -Infinity;
    return static_cast<float>(value);
}

bool Brighter(float key, float pivot) { return CompareValue(pivot, key, 0) < 0; }
bool Darker(float key, float pivot) { return CompareValue(pivot, key, 0) > 0; }

// The least float that is brighter than the pivot beyond the tolerance.
float BrighterFrom(float pivot) {
    const double tolerance = std::max(std::fabs(double{pivot}) / 10000, 1e-4);
    float key = ToFloat(double{pivot} + tolerance);
    while (!Brighter(key, pivot)) key = std::nextafter(key, Infinity);
    for (float lower = std::nextafter(key, -Infinity); Brighter(lower, pivot); lower = std::nextafter(key, -Infinity))
        key = lower;
    return key;
}

// The greatest float that is darker than the pivot beyond the tolerance.
float DarkerUpTo(float pivot) {
    const double tolerance = std::max(std::fabs(double{pivot}) / 10000, 1e-4);
    float key = ToFloat(double{pivot} - tolerance);
    while (!Darker(key, pivot)) key = std::nextafter(key, -Infinity);
    for (float upper = std::nextafter(key, Infinity); Darker(upper, pivot); upper = std::nextafter(key, Infinity))
        key = upper;
    return key;
}

// One partitioning sweep around a copy of the middle item; returns the
// indices where the two parts end and begin (j < i).
std::pair<ptrdiff_t, ptrdiff_t> Partition(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right) {
    ptrdiff_t i = left;
    ptrdiff_t j = right;
    const float pivot = values[left + (right - left) / 2].Key;
    const float brighter = BrighterFrom(pivot);
    const float darker = DarkerUpTo(pivot);
    do {
        while (values[i].Key >= brighter) ++i;
        while (values[j].Key <= darker) --j;
        if (i <= j) {
            if (i != j) std::swap(values[i], values[j]);
            ++i;
            --j;
        }
    } while (i <= j);
    return {j, i};
}

void SortFiniteKeys(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right) {
    do {
        if (right - left == 1) {
            if (CompareLuminosity(values[left], values[right]) > 0) std::swap(values[left], values[right]);
            return;
        }
        const auto [j, i] = Partition(values, left, right);
        if (j - left > right - i) {
            if (i < right) SortFiniteKeys(values, i, right);
            right = j;
        } else {
            if (left < j) SortFiniteKeys(values, left, j);
            left = i;
        }
    } while (left < right);
}

// Below this many items a second thread costs more than it saves.
constexpr ptrdiff_t TwoThreadItems = ptrdiff_t{1} << 16;

// The first partition on this thread, then its two parts at once: they are
// disjoint and each is sorted by the same steps as before, so the order is
// the same whichever thread makes the swaps.
void SortOnTwoThreads(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right) {
    if (right - left < TwoThreadItems) return SortFiniteKeys(values, left, right);
    const auto [j, i] = Partition(values, left, right);
    std::thread upper;
    if (i < right) {
        try {
            upper = std::thread(SortFiniteKeys, values, i, right);
        } catch (const std::system_error&) {
            SortFiniteKeys(values, i, right);
        }
    }
    if (left < j) SortFiniteKeys(values, left, j);
    if (upper.joinable()) upper.join();
}

}  // namespace

void QuickSort(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right) {
    if (left >= right) return;
    // A key that is not a finite number compares unequal even to itself, and
    // a scan could then run past the pivot; luminosities are always finite.
    for (ptrdiff_t k = left; k <= right; ++k)
        if (!std::isfinite(values[k].Key)) throw Exception("Luminosity is not a finite number");
    SortOnTwoThreads(values, left, right);
}

void SortByLuminosity(TPixelData& pixelData) {
    if (pixelData.size() > 1) QuickSort(pixelData.data(), 0, static_cast<ptrdiff_t>(pixelData.size()) - 1);
}
