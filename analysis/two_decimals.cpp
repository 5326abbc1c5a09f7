#include "analysis/two_decimals.h"

#include <cmath>
#include <cstdio>
#include <cstring>

size_t AppendDecimalDigits(uint64_t number, char* out) {
    char digits[20];
    size_t length = 0;
    do {
        digits[length++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    for (size_t i = 0; i < length; ++i) out[i] = digits[length - 1 - i];
    return length;
}

namespace {

size_t AppendHundredths(uint64_t hundredths, std::string_view separator, char* out) {
    size_t length = AppendDecimalDigits(hundredths / 100, out);
    std::memcpy(out + length, separator.data(), separator.size());
    length += separator.size();
    out[length++] = static_cast<char>('0' + hundredths / 10 % 10);
    out[length++] = static_cast<char>('0' + hundredths % 10);
    return length;
}

constexpr uint64_t PowerOfTen(int exponent) {
    uint64_t result = 1;
    while (exponent-- > 0) result *= 10;
    return result;
}

// 0.001 <= value < 2^24. The value is m / 2^q exactly (m < 2^24, q <= 34), so
// 100 × value = I + r / 2^q. Rounding to 18 significant digits first moves the
// value up to the next tie (I + 1/2) / 100 exactly when it lies within half a
// unit of the 18th digit below it; comparing in integers keeps that exact:
// round up  <=>  r × 10^(16 - L) >= 2^(q - 1) × (10^(16 - L) - 1),
// where the value has L digits before the point (L <= 0 below 1).
size_t FormatExactly(float value, std::string_view separator, char* out) {
    int exponent = 0;
    const float fraction = std::frexp(value, &exponent);
    const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 24));
    const int shift = 24 - exponent;  // value = mantissa / 2^shift
    if (shift <= 0) return AppendHundredths((mantissa << -shift) * 100, separator, out);

    const uint64_t scaled = mantissa * 100;
    const uint64_t whole = scaled >> shift;
    const uint64_t remainder = scaled & ((uint64_t{1} << shift) - 1);

    int digitsBeforePoint = 0;  // L
    const uint64_t integerPart = mantissa >> shift;
    if (integerPart > 0) {
        for (uint64_t rest = integerPart; rest > 0; rest /= 10) ++digitsBeforePoint;
    } else {
        // Below 1: L = 0 from 0.1, -1 from 0.01, -2 from 0.001.
        digitsBeforePoint = -2;
        if (mantissa * 10 >= (uint64_t{1} << shift))
            digitsBeforePoint = 0;
        else if (mantissa * 100 >= (uint64_t{1} << shift))
            digitsBeforePoint = -1;
    }
    const unsigned __int128 unit = PowerOfTen(16 - digitsBeforePoint);
    const bool roundUp = remainder * unit >= (static_cast<unsigned __int128>(1) << (shift - 1)) * (unit - 1);
    return AppendHundredths(whole + (roundUp ? 1 : 0), separator, out);
}

// Everything else: negative values, values of 2^24 and more (integers, whose
// 18 digits C's %.17e gives correctly), infinities and NaN.
size_t FormatOther(float value, std::string_view separator, char* out) {
    if (std::isnan(value)) return std::memcpy(out, "NAN", 3), 3;
    size_t length = 0;
    if (std::signbit(value)) {
        out[length++] = '-';
        value = -value;
    }
    if (std::isinf(value)) return std::memcpy(out + length, "INF", 3), length + 3;
    if (value < 16777216.0f) return length + FormatTwoDecimals(value, separator, out + length);

    char scientific[32];
    std::snprintf(scientific, sizeof scientific, "%.17e", double{value});  // d.ddd…e+XX
    const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);
    out[length++] = scientific[0];
    for (int i = 1; i <= exponent; ++i) out[length++] = i <= 17 ? scientific[i + 1] : '0';
    std::memcpy(out + length, separator.data(), separator.size());
    length += separator.size();
    out[length++] = '0';
    out[length++] = '0';
    return length;
}

}  // namespace

size_t FormatTwoDecimals(float value, std::string_view separator, char* out) {
    if (value >= 0.001f && value < 16777216.0f) return FormatExactly(value, separator, out);
    if (value >= 0.0f && value < 0.001f) return AppendHundredths(0, separator, out);
    return FormatOther(value, separator, out);
}

std::string FormatTwoDecimals(float value, std::string_view separator) {
    char text[MaxTwoDecimalsLength];
    return std::string(text, FormatTwoDecimals(value, separator, text));
}
