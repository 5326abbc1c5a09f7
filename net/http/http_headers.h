#pragma once
// The header records of an HTTP exchange: the entity fields common to both
// directions, the request's own fields and the response's own fields.

#include <cstdint>
#include <string>

#include "net/http/header_list.h"
#include "net/transport/stack.h"

struct TIdEntityHeaderInfo {
    std::string CacheControl;
    std::string Connection;
    std::string ContentDisposition;
    std::string ContentEncoding;
    std::string ContentLanguage;
    std::string ContentRange;
    std::string ContentType;  // without its charset parameter
    std::string CharSet;
    std::string ContentVersion;
    std::string Date;
    std::string ETag;
    std::string Expires;
    std::string Pragma;
    std::string TransferEncoding;
    int64_t ContentLength = -1;  // -1: absent or not a number
    TIdHeaderList CustomHeaders;
    TIdHeaderList RawHeaders;

    bool HasContentLength() const { return ContentLength >= 0; }
    // Empties every field and both lists.
    void Clear();
    // Fills the fields from RawHeaders.
    void ProcessHeaders();
};

struct TIdRequestHeaderInfo : TIdEntityHeaderInfo {
    std::string Accept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
    std::string AcceptCharSet;
    std::string AcceptEncoding;
    std::string AcceptLanguage;
    std::string Authorization;
    std::string From;
    std::string Host;
    std::string IfModifiedSince;
    std::string MethodOverride;
    std::string ProxyConnection;
    std::string Range;
    std::string Referer;
    std::string UserAgent = "Mozilla/3.0 (compatible; Tintwright)";
    std::string Username;
    std::string Password;

    // The header lines to send, in the order the client sends them, each
    // only when its value is not empty.
    TIdHeaderList Headers() const;
};

struct TIdHTTPRequest : TIdRequestHeaderInfo {
    std::string Method;
    std::string URL;  // path, document and parameters as sent
    TIdIPVersion IPVersion = Id_IPv4;
};

enum TIdHTTPProtocolVersion { pv1_0, pv1_1 };

struct TIdResponseHeaderInfo : TIdEntityHeaderInfo {
    std::string Location;
    std::string Server;

    void Clear();
    void ProcessHeaders();
};

struct TIdHTTPResponse : TIdResponseHeaderInfo {
    std::string ResponseText;  // the status line as received
    int ResponseCode = -1;     // -1 when the status line holds no number
    TIdHTTPProtocolVersion ResponseVersion = pv1_0;
    bool KeepAlive = false;

    // Takes the status line apart into the three fields above.
    void SetStatusLine(const std::string& line);
};
