// Two decimals by the rule of the palette text: 18 significant digits, then a
// 5 in the third decimal rounds up.

#include "analysis/two_decimals.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>

namespace {

// An independent reference: the exact decimal digits of the float (as
// m × 5^q / 10^q), rounded half up to 18 significant digits, then half up at
// the second decimal.
std::string Reference(float value) {
    int exponent = 0;
    const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(std::frexp(value, &exponent), 24));
    const int decimals = 24 - exponent;  // value = mantissa / 2^decimals, 0 < decimals <= 40 here
    unsigned __int128 scaled = mantissa;
    for (int i = 0; i < decimals; ++i) scaled *= 5;  // value = scaled / 10^decimals
    std::string digits;
    for (unsigned __int128 rest = scaled; rest > 0; rest /= 10)
        digits.insert(digits.begin(), char('0' + int(rest % 10)));
    while (digits.size() <= static_cast<size_t>(decimals)) digits.insert(digits.begin(), '0');
    // Digit i has place value 10^(integerDigits - 1 - i).
    const size_t integerDigits = digits.size() - decimals;
    const size_t firstSignificant = digits.find_first_not_of('0');
    auto roundAt = [&digits](size_t keep) {  // keep digits [0, keep), half up
        const bool up = keep < digits.size() && digits[keep] >= '5';
        digits.resize(keep);
        for (size_t i = keep; up && i-- > 0;) {
            if (digits[i] == '9') {
                digits[i] = '0';
                if (i == 0) digits.insert(digits.begin(), '1');
            } else {
                ++digits[i];
                break;
            }
        }
        return digits.size() > keep;  // one digit more in front
    };
    size_t whole = integerDigits;
    if (firstSignificant + 18 < digits.size()) {
        const size_t keep = firstSignificant + 18;
        if (roundAt(keep)) ++whole;
    }
    if (digits.size() < whole + 3) digits.resize(whole + 3, '0');
    if (roundAt(whole + 2)) ++whole;
    std::string text = digits.substr(0, whole);
    text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
    return text + "." + digits.substr(whole, 2);
}

}  // namespace

TEST(TwoDecimals, KnownValues) {
    struct Case {
        float value;
        const char* text;
    } cases[] = {
        {1.125f, "1.13"},                             // an exact tie rounds up (printf gives 1.12)
        {0.125f, "0.13"},          {2.675f, "2.67"},  // 2.67499995…: no tie
        {255.0f, "255.00"},        {0.0f, "0.00"},
        {76.245f, "76.25"},        {29.07f, "29.07"},
        {0.005f, "0.00"},  // 0.00499999988…
        {0.0051f, "0.01"},         {99.995f, "100.00"},
        {1e-30f, "0.00"},          {16777216.0f, "16777216.00"},
        {1e10f, "10000000000.00"}, {FLT_MAX, "340282346638528860000000000000000000000.00"},
        {-1.125f, "-1.13"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatTwoDecimals(c.value), c.text) << c.value;
    EXPECT_EQ(FormatTwoDecimals(1.125f, ","), "1,13");
    EXPECT_EQ(FormatTwoDecimals(255.0f, "\xD9\xAB"),
              "255\xD9\xAB"
              "00");  // a two-byte separator
}

TEST(TwoDecimals, EveryLuminosityMatchesTheReference) {
    size_t wrong = 0;
    for (uint32_t weighted = 1; weighted <= 255000; ++weighted) {
        const float luminosity = static_cast<float>(weighted / 1000.0);
        wrong += FormatTwoDecimals(luminosity) != Reference(luminosity);
    }
    EXPECT_EQ(wrong, 0u);
    // And a spread of other floats between 0.001 and 2^24.
    for (float value = 0.001f; value < 16777216.0f; value *= 1.0001f) {
        ASSERT_EQ(FormatTwoDecimals(value), Reference(value)) << value;
    }
}
