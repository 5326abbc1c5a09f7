#include <gtest/gtest.h>

#include "analysis/text_encoding.h"

TEST(TextEncoding, IllFormedBytesBecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        std::string In, Out;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xF0\x9F\x8E\xA8", "caf\xC3\xA9 \xF0\x9F\x8E\xA8"},
        {"\xFF", replacement},
        {"\xC0\x80", replacement + replacement},                                      // overlong
        {"\xED\xA0\x80", replacement + replacement + replacement},                    // surrogate
        {"a\xE2\x82", "a" + replacement + replacement},                               // cut short
        {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},  // past U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(ValidUtf8(c.In), c.Out) << c.In;
}

TEST(TextEncoding, JsonStringsEscapeWhatJsonForbids) {
    std::string out;
    AppendJsonString(out, std::string("a\"b\\c\n\x01\x7F\xFF", 9));
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\u000a\\u0001\\u007f\xEF\xBF\xBD\"");
    EXPECT_EQ(Utf16Of("\xC3\xA9\xF0\x9F\x8E\xA8"), (std::u16string{0xE9, 0xD83C, 0xDFA8}));
}
