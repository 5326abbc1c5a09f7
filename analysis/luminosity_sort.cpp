#include "analysis/luminosity.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

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

// The ranges still to sort, worked through by two threads. A range above a
// sixteenth of the whole is partitioned and its parts go back on the list,
// so that neither thread is left with most of the work when the pivots
// split unevenly; the others are sorted in one go, largest first. The
// ranges are disjoint and each is treated by the steps of the sort on one
// thread, so the order is the same whichever thread takes which.
class TSortWork {
public:
    TSortWork(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right)
        : FValues(values), FSplitAbove(std::max(TwoThreadItems, (right - left + 1) / 16)) {
        FRanges.reserve(64);
        FRanges.push_back({left, right});
    }

    void Run() {
        for (;;) {
            TRange range;
            {
                std::unique_lock lock(FMutex);
                FChanged.wait(lock, [this] { return !FRanges.empty() || FInHand == 0; });
                if (FRanges.empty()) return;
                const auto largest = std::max_element(FRanges.begin(), FRanges.end(), [](TRange a, TRange b) {
                    return a.second - a.first < b.second - b.first;
                });
                range = *largest;
                FRanges.erase(largest);
                ++FInHand;
            }
            Work(range);
        }
    }

private:
    using TRange = std::pair<ptrdiff_t, ptrdiff_t>;

    void Work(TRange range) {
        const auto [left, right] = range;
        TRange parts[2] = {{0, 0}, {0, 0}};  // none
        if (right - left < FSplitAbove) {
            SortFiniteKeys(FValues, left, right);
        } else {
            const auto [j, i] = Partition(FValues, left, right);
            parts[0] = {left, j};
            parts[1] = {i, right};
        }
        for (const TRange& part : parts)
            if (part.first < part.second && !List(part)) SortFiniteKeys(FValues, part.first, part.second);
        {
            const std::lock_guard lock(FMutex);
            --FInHand;
        }
        FChanged.notify_all();
    }

    // False when the list is full: it never grows beyond the room it was
    // given, so that nothing on the other thread can fail.
    bool List(TRange range) {
        {
            const std::lock_guard lock(FMutex);
            if (FRanges.size() == FRanges.capacity()) return false;
            FRanges.push_back(range);
        }
        FChanged.notify_all();
        return true;
    }

    TLuminosityPair* const FValues;
    const ptrdiff_t FSplitAbove;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::vector<TRange> FRanges;
    int FInHand = 0;  // ranges taken and not yet done
};

void SortOnTwoThreads(TLuminosityPair* values, ptrdiff_t left, ptrdiff_t right) {
    if (right - left < TwoThreadItems) return SortFiniteKeys(values, left, right);
    TSortWork work(values, left, right);
    std::thread other;
    try {
        other = std::thread([&work] { work.Run(); });
    } catch (const std::system_error&) {
        // This thread alone then takes every range.
    }
    work.Run();
    if (other.joinable()) other.join();
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
