// From body bytes to text: which character set, and decoding by it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/text/charset.h"
#include "net/http/http.h"

namespace {

std::string DecodeAs(const std::string& contentType, const std::string& body) {
    TIdHTTPResponse response;
    response.RawHeaders.Add("Content-Type: " + contentType);
    response.ProcessHeaders();
    const std::vector<uint8_t> bytes(body.begin(), body.end());
    return ResponseBodyToText(response, bytes);
}

}  // namespace

TEST(CharSet, ContentTypeLosesOnlyItsCharsetParameter) {
    std::string contentType, charSet;
    SplitContentType("text/plain; format=flowed; Charset=\"UTF-8\"", contentType, charSet);
    EXPECT_EQ(contentType, "text/plain; format=flowed");
    EXPECT_EQ(charSet, "UTF-8");
}

TEST(CharSet, BodiesDecodeByTheirCharacterSet) {
    struct TCase {
        const char* ContentType;
        std::string Body;
        std::string Expected;
    };
    const TCase cases[] = {
        {"text/plain", "\xE9", "\xC3\xA9"},
        {"application/octet-stream", "\xE9\x80", "\xC3\xA9\xC2\x80"},
        {"text/plain; charset=utf-8",
         "\xEF\xBB\xBF"
         "1\xC3",
         "\xEF\xBB\xBF"
         "1\xEF\xBF\xBD"},
        {"text/plain; charset=utf-16", std::string("1\0.\0", 4), "1."},
        {"text/plain; charset=UTF-16BE", std::string("\xD8\x3D\xDE\x00", 4), "\xF0\x9F\x98\x80"},
        {"text/plain; charset=us-ascii", "a\xE9", "a\xEF\xBF\xBD"},
        {"text/plain; charset=windows-1252", "\x80", "\xE2\x82\xAC"},
        {"text/plain; charset=no-such-set", "\xE9", "\xC3\xA9"},
        {"text/plain; charset=utf-8//TRANSLIT", "\xE9", "\xC3\xA9"},
        {"text/xml", "\xE9", "\xEF\xBF\xBD"},  // XML text defaults to US-ASCII
        {"text/svg+xml", "\xE9", "\xEF\xBF\xBD"},
    };
    for (const TCase& decoded : cases)
        EXPECT_EQ(DecodeAs(decoded.ContentType, decoded.Body), decoded.Expected) << decoded.ContentType;
}

TEST(CharSet, HtmlAndXmlBodiesDeclareTheirOwn) {
    EXPECT_EQ(DecodeAs("text/html", "<meta charset='utf-8'>\xC3\xA9"), "<meta charset='utf-8'>\xC3\xA9");
    EXPECT_EQ(DecodeAs("text/html", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\xC3\xA9"),
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\xC3\xA9");
    EXPECT_EQ(DecodeAs("application/xml", "<?xml version=\"1.0\" encoding='UTF-8'?><a>\xC3\xA9</a>"),
              "<?xml version=\"1.0\" encoding='UTF-8'?><a>\xC3\xA9</a>");
    // Without a declaration the header's charset stays.
    EXPECT_EQ(DecodeAs("text/html", "<p>\xE9</p>"), "<p>\xC3\xA9</p>");

    TIdHTTPResponse response;
    response.RawHeaders.Add("Content-Type: text/html");
    response.ProcessHeaders();
    const std::string page = "<head><meta http-equiv=refresh content=\"5\"></head>";
    ResponseBodyToText(response, std::vector<uint8_t>(page.begin(), page.end()));
    EXPECT_EQ(response.RawHeaders.Values("Refresh"), "5");
}
