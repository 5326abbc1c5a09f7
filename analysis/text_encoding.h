#pragma once
// Text from outside (file names above all) made safe for the palette files:
// any byte sequence becomes valid UTF-8, and a JSON string stays a JSON
// string whatever it holds.

#include <string>
#include <string_view>

// The text with every byte that does not belong to a well-formed UTF-8
// sequence replaced by U+FFFD; overlong forms, surrogates and code points
// past U+10FFFF count as ill-formed.
std::string ValidUtf8(std::string_view text);

// Appends the text as a quoted JSON string: valid UTF-8 as above, with the
// quote, the backslash and the control characters escaped.
void AppendJsonString(std::string& out, std::string_view text);

// The text as big-endian UTF-16 code units (after ValidUtf8), without a
// terminating zero.
std::u16string Utf16Of(std::string_view text);
