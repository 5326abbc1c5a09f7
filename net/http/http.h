#pragma once
// The HTTP/1.1 GET client. One Get sends the request in one piece, reads the
// status line and headers (skipping interim 1xx answers), reads the body by
// its framing and returns it; error statuses and redirections raise
// EIdHTTPProtocolException, redirections are not followed. A connection the
// answer allows keeping is reused by the next Get to the same host and port.
//
// Beyond the protocol's defaults the client can bound what a server costs:
// header lines and bytes (always on), the time of a whole request and the
// size of an error body kept for its message (off unless set).

#include <cstdint>
#include <string>

#include "base/stream.h"
#include "net/text/encoding.h"
#include "net/http/http_headers.h"
#include "net/transport/tcp_client.h"
#include "net/http/uri.h"

class TIdCustomHTTP : public TIdTCPClientCustom {
public:
    // The body decoded to text by its character set.
    std::string Get(const std::string& url);
    // The raw body, written into responseContent from its current position.
    void Get(const std::string& url, TStream& responseContent);

    TIdHTTPRequest& Request() { return FRequest; }
    TIdHTTPResponse& Response() { return FResponse; }
    const TIdHTTPResponse& Response() const { return FResponse; }
    const TIdURI& URL() const { return FURL; }
    int ResponseCode() const { return FResponse.ResponseCode; }
    const std::string& ResponseText() const { return FResponse.ResponseText; }

    // Header lines of one answer at most (trailers count apart).
    int MaxHeaderLines() const { return FMaxHeaderLines; }
    void SetMaxHeaderLines(int lines) { FMaxHeaderLines = lines; }
    // Bytes of status and header lines of one request at most, interim
    // answers and trailers included.
    size_t MaxHeaderBytes() const { return FMaxHeaderBytes; }
    void SetMaxHeaderBytes(size_t bytes) { FMaxHeaderBytes = bytes; }
    // Milliseconds one Get may take from its start, connecting included;
    // 0: no limit beyond ConnectTimeout and ReadTimeout.
    int RequestTimeout() const { return FRequestTimeout; }
    void SetRequestTimeout(int milliseconds) { FRequestTimeout = milliseconds; }
    // Bytes of an error body kept for the exception; the rest is read and
    // dropped. Negative: keep all.
    int64_t MaxErrorBodySize() const { return FMaxErrorBodySize; }
    void SetMaxErrorBodySize(int64_t bytes) { FMaxErrorBodySize = bytes; }

private:
    void PrepareRequest(const std::string& url);
    void TakeURL(const TIdURI& uri);
    void ConnectToHost();
    void SendRequest();
    void ReadResponseHead();
    // Header lines up to the empty line, appended to headers.
    void ReadHeaderLines(TIdHeaderList& headers);
    void CountHeaderBytes(const std::string& line);
    void HandleStatus(TStream& responseContent);
    [[noreturn]] void RaiseErrorStatus();
    void ReadBody(TStream& stream);
    void ReadChunkedBody(TStream& stream);
    bool KeepAliveAllowed() const;

    TIdHTTPRequest FRequest;
    TIdHTTPResponse FResponse;
    TIdURI FURL;
    int FMaxHeaderLines = 255;
    size_t FMaxHeaderBytes = 65536;
    size_t FHeaderBytes = 0;
    int FRequestTimeout = 0;
    int64_t FMaxErrorBodySize = -1;
};

class TIdHTTP : public TIdCustomHTTP {};

// The response body as text: the charset of the response, replaced by what
// an HTML or XML body declares itself; an HTML body's http-equiv headers
// join the response's headers.
std::string ResponseBodyToText(TIdHTTPResponse& response, TBytes body);
