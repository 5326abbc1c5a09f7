#include "net/http/http_headers.h"

#include <algorithm>
#include <limits>

#include "net/text/charset.h"
#include "net/text/strings.h"

namespace {

// A whole decimal number in 0..INT64_MAX; -1 for anything else.
int64_t ParseCount(std::string_view text) {
    if (text.empty()) return -1;
    int64_t value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') return -1;
        if (value > (std::numeric_limits<int64_t>::max() - (digit - '0')) / 10) return -1;
        value = value * 10 + (digit - '0');
    }
    return value;
}

}  // namespace

void TIdEntityHeaderInfo::Clear() { *this = TIdEntityHeaderInfo(); }

void TIdEntityHeaderInfo::ProcessHeaders() {
    const TIdHeaderList& headers = RawHeaders;
    CacheControl = headers.Values("Cache-control");
    Connection = headers.Values("Connection");
    ContentDisposition = headers.Values("Content-Disposition");
    ContentEncoding = headers.Values("Content-Encoding");
    ContentLanguage = headers.Values("Content-Language");
    ContentRange = headers.Values("Content-Range");
    ContentVersion = headers.Values("Content-Version");
    Date = headers.Values("Date");
    ETag = headers.Values("ETag");
    Expires = headers.Values("Expires");
    Pragma = headers.Values("Pragma");
    TransferEncoding = headers.Values("Transfer-Encoding");
    ContentLength = ParseCount(headers.Values("Content-Length"));
    SplitContentType(headers.Values("Content-Type"), ContentType, CharSet);
}

TIdHeaderList TIdRequestHeaderInfo::Headers() const {
    TIdHeaderList headers;
    auto add = [&headers](const char* name, const std::string& value) {
        if (!value.empty()) headers.AddValue(name, value);
    };
    add("Connection", Connection);
    add("Content-Version", ContentVersion);
    add("Content-Disposition", ContentDisposition);
    add("Content-Encoding", ContentEncoding);
    add("Content-Language", ContentLanguage);
    add("Content-Type", CharSet.empty() || ContentType.empty() ? ContentType : ContentType + "; charset=" + CharSet);
    if (HasContentLength()) add("Content-Length", std::to_string(ContentLength));
    add("Content-Range", ContentRange);
    add("Cache-control", CacheControl);
    add("Date", Date);
    add("ETag", ETag);
    add("Expires", Expires);
    add("Pragma", Pragma);
    add("Transfer-Encoding", TransferEncoding);
    for (const std::string& line : CustomHeaders.Lines()) headers.Add(line);
    add("Proxy-Connection", ProxyConnection);
    add("Host", Host);
    add("Accept", Accept);
    add("Accept-Charset", AcceptCharSet);
    add("Accept-Encoding", AcceptEncoding);
    add("Accept-Language", AcceptLanguage);
    add("From", From);
    add("Referer", Referer);
    add("User-Agent", UserAgent);
    add("Range", Range);
    add("If-Modified-Since", IfModifiedSince);
    add("Authorization", Authorization);
    add("X-HTTP-Method-Override", MethodOverride);
    return headers;
}

void TIdResponseHeaderInfo::Clear() { *this = TIdResponseHeaderInfo(); }

void TIdResponseHeaderInfo::ProcessHeaders() {
    TIdEntityHeaderInfo::ProcessHeaders();
    Location = RawHeaders.Values("Location");
    Server = RawHeaders.Values("Server");
}

void TIdHTTPResponse::SetStatusLine(const std::string& line) {
    ResponseText = line;
    ResponseVersion = line.size() >= 8 && line.compare(5, 3, "1.1") == 0 ? pv1_1 : pv1_0;
    ResponseCode = -1;
    const size_t blank = line.find(' ');
    if (blank == std::string::npos) return;
    std::string_view code = std::string_view(line).substr(blank + 1);
    code.remove_prefix(std::min(code.find_first_not_of(' '), code.size()));
    code = code.substr(0, code.find_first_of(" ."));
    // Status codes have three digits; more would be no status at all.
    if (code.size() > 9) return;
    const int64_t value = ParseCount(code);
    if (value >= 0) ResponseCode = static_cast<int>(value);
}
