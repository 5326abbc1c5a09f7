#include "net/text/charset.h"
#include "net/http/http.h"

namespace {

bool IsHtmlType(const std::string& mediaType) {
    return mediaType == "text/html" || mediaType == "text/html-sandboxed" || mediaType == "application/xhtml+xml";
}

bool IsXmlType(const std::string& mediaType) {
    if (mediaType == "application/xml" || mediaType == "application/xml-external-parsed-entity" ||
        mediaType == "application/xml-dtd")
        return true;
    const bool text = mediaType.compare(0, 5, "text/") == 0;
    return !text && mediaType.size() >= 4 && mediaType.compare(mediaType.size() - 4, 4, "+xml") == 0;
}

}  // namespace

std::string ResponseBodyToText(TIdHTTPResponse& response, TBytes body) {
    const std::string mediaType = MediaTypeOf(response.ContentType);
    if (IsHtmlType(mediaType)) {
        const THtmlDeclarations declarations = ReadHtmlDeclarations(body);
        for (const auto& [name, value] : declarations.Headers) response.RawHeaders.AddValue(name, value);
        if (!declarations.CharSet.empty()) response.CharSet = declarations.CharSet;
    } else if (IsXmlType(mediaType)) {
        const std::string encoding = ReadXmlEncoding(body);
        if (!encoding.empty()) response.CharSet = encoding;
    }
    return DecodeCharSet(body, response.CharSet);
}
