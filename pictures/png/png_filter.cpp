#include "pictures/png/png_filter.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

void UnfilterSub(uint8_t* row, size_t start, size_t rowBytes, size_t offset) {
    for (size_t i = start; i < rowBytes; ++i) row[i] = uint8_t(row[i] + row[i - offset]);
}

void UnfilterUp(uint8_t* row, const uint8_t* previous, size_t rowBytes) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= rowBytes; i += 16) {
        const __m128i sum = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(previous + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), sum);
    }
#endif
    for (; i < rowBytes; ++i) row[i] = uint8_t(row[i] + previous[i]);
}

// From `start` on: every byte has a complete pixel to its left.
void UnfilterAverage(uint8_t* row, const uint8_t* previous, size_t start, size_t rowBytes, size_t offset) {
    for (size_t i = start; i < rowBytes; ++i)
        row[i] = uint8_t(row[i] + ((unsigned(row[i - offset]) + previous[i]) >> 1));
}

inline uint8_t PaethPredictor(int left, int above, int upperLeft) {
    const int p = left + above - upperLeft;
    const int pa = std::abs(p - left);
    const int pb = std::abs(p - above);
    const int pc = std::abs(p - upperLeft);
    if (pa <= pb && pa <= pc) return uint8_t(left);
    if (pb <= pc) return uint8_t(above);
    return uint8_t(upperLeft);
}

void UnfilterPaeth(uint8_t* row, const uint8_t* previous, size_t start, size_t rowBytes, size_t offset) {
    for (size_t i = start; i < rowBytes; ++i)
        row[i] = uint8_t(row[i] + PaethPredictor(row[i - offset], previous[i], previous[i - offset]));
}

// The bytes before the first complete pixel: left and upper-left count as 0.
void UnfilterHead(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t head) {
    for (size_t i = 0; i < head; ++i) {
        // Average adds half the byte above; Paeth's predictor is then always
        // the byte above (p = above, and |p − above| = 0 is the least).
        row[i] = uint8_t(row[i] + (filterType == 3 ? previous[i] >> 1 : previous[i]));
    }
}

#if defined(__SSE2__)
// Rows of 3- and 4-byte pixels (8-bit RGB and RGB + alpha, the bulk of real
// pictures) a pixel at a time in vector lanes: the same arithmetic, 16 bits
// per lane, so the results are identical to the byte loops above.
// Pixels of 3 bytes are put together in registers: copying them through
// memory would stall on each load that follows smaller stores.
template <size_t Bpp>
inline __m128i LoadPixel(const uint8_t* p) {
    uint32_t value;
    if constexpr (Bpp == 4)
        std::memcpy(&value, p, 4);
    else
        value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(value)), _mm_setzero_si128());
}

template <size_t Bpp>
inline void StorePixel(uint8_t* p, __m128i lanes) {
    const uint32_t value = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(lanes, lanes)));
    if constexpr (Bpp == 4) {
        std::memcpy(p, &value, 4);
    } else {
        p[0] = uint8_t(value);
        p[1] = uint8_t(value >> 8);
        p[2] = uint8_t(value >> 16);
    }
}

inline __m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

inline __m128i Select(__m128i mask, __m128i ifSet, __m128i otherwise) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, otherwise));
}

template <size_t Bpp>
size_t PaethPixels(uint8_t* row, const uint8_t* previous, size_t rowBytes) {
    const __m128i low = _mm_set1_epi16(0xFF);
    __m128i left = _mm_setzero_si128(), upperLeft = _mm_setzero_si128();
    size_t i = 0;
    for (; i + Bpp <= rowBytes; i += Bpp) {
        const __m128i above = LoadPixel<Bpp>(previous + i);
        const __m128i pa = Abs16(_mm_sub_epi16(above, upperLeft));  // |p − left|
        const __m128i pb = Abs16(_mm_sub_epi16(left, upperLeft));   // |p − above|
        const __m128i pc = Abs16(_mm_sub_epi16(_mm_add_epi16(left, above), _mm_add_epi16(upperLeft, upperLeft)));
        const __m128i least = _mm_min_epi16(_mm_min_epi16(pa, pb), pc);
        const __m128i predictor =
            Select(_mm_cmpeq_epi16(least, pa), left, Select(_mm_cmpeq_epi16(least, pb), above, upperLeft));
        left = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + i), predictor), low);
        StorePixel<Bpp>(row + i, left);
        upperLeft = above;
    }
    return i;
}

template <size_t Bpp>
size_t AveragePixels(uint8_t* row, const uint8_t* previous, size_t rowBytes) {
    const __m128i low = _mm_set1_epi16(0xFF);
    __m128i left = _mm_setzero_si128();
    size_t i = 0;
    for (; i + Bpp <= rowBytes; i += Bpp) {
        const __m128i mean = _mm_srli_epi16(_mm_add_epi16(left, LoadPixel<Bpp>(previous + i)), 1);
        left = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + i), mean), low);
        StorePixel<Bpp>(row + i, left);
    }
    return i;
}

template <size_t Bpp>
size_t SubPixels(uint8_t* row, size_t rowBytes) {
    const __m128i low = _mm_set1_epi16(0xFF);
    __m128i left = _mm_setzero_si128();
    size_t i = 0;
    for (; i + Bpp <= rowBytes; i += Bpp) {
        left = _mm_and_si128(_mm_add_epi16(LoadPixel<Bpp>(row + i), left), low);
        StorePixel<Bpp>(row + i, left);
    }
    return i;
}

// Undoes the filter with whole pixels in lanes; returns the bytes done (the
// rest, a part of a pixel, is left to the byte loops).
size_t UnfilterPixels(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes, size_t offset) {
    if (offset == 3) {
        if (filterType == 1) return SubPixels<3>(row, rowBytes);
        if (filterType == 3) return AveragePixels<3>(row, previous, rowBytes);
        if (filterType == 4) return PaethPixels<3>(row, previous, rowBytes);
    } else if (offset == 4) {
        if (filterType == 1) return SubPixels<4>(row, rowBytes);
        if (filterType == 3) return AveragePixels<4>(row, previous, rowBytes);
        if (filterType == 4) return PaethPixels<4>(row, previous, rowBytes);
    }
    return 0;
}
#else
size_t UnfilterPixels(uint8_t, uint8_t*, const uint8_t*, size_t, size_t) { return 0; }
#endif

}  // namespace

void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes, size_t offset) {
    if (filterType == 2) {
        UnfilterUp(row, previous, rowBytes);
        return;
    }
    if (filterType != 1 && filterType != 3 && filterType != 4) return;
    size_t done = UnfilterPixels(filterType, row, previous, rowBytes, offset);
    if (done == 0) {
        done = offset < rowBytes ? offset : rowBytes;
        if (filterType != 1) UnfilterHead(filterType, row, previous, done);
    }
    switch (filterType) {
    case 1: UnfilterSub(row, done, rowBytes, offset); break;
    case 3: UnfilterAverage(row, previous, done, rowBytes, offset); break;
    case 4: UnfilterPaeth(row, previous, done, rowBytes, offset); break;
    }
}
