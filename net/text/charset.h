#pragma once
// From a response body to text: which character set the body is in (the
// Content-Type header, the defaults of the media type, the body's own HTML
// or XML declarations) and the decoding by that name.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "net/text/encoding.h"

// The media type of a Content-Type value in lower case, without parameters.
std::string MediaTypeOf(const std::string& contentType);

// Splits a Content-Type header value into the value without its charset
// parameter and the character set: the parameter when present, otherwise the
// default of the media type ("us-ascii" for XML text types, "ISO-8859-1" for
// other text types, none for the rest).
void SplitContentType(const std::string& headerValue, std::string& contentType, std::string& charSet);

// The charset parameter of a Content-Type value, quotes removed; nothing
// when the value has none.
std::optional<std::string> CharSetParameter(const std::string& headerValue);

// Decodes by character-set name. UTF-8, UTF-16 (little-endian unless named
// big-endian), US-ASCII and ISO-8859-1 are decoded here, other names the
// system knows through its converters; with no name or an unknown one each
// byte becomes the character of the same code. A byte-order mark is kept.
std::string DecodeCharSet(TBytes body, const std::string& charSet);

// What an HTML body declares about itself: the http-equiv meta elements as
// header name and value, and the character set from a meta charset or an
// http-equiv Content-Type, the first one found.
struct THtmlDeclarations {
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string CharSet;
};
THtmlDeclarations ReadHtmlDeclarations(TBytes body);

// The encoding named by the XML declaration at the start of the body;
// empty when there is none.
std::string ReadXmlEncoding(TBytes body);
