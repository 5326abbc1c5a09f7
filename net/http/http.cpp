// The request side of a GET: the URL, the connection and the bytes sent.
#include "net/http/http.h"

#include "base/scope_guard.h"
#include "net/http/http_exceptions.h"
#include "net/text/strings.h"

namespace {

// A port text as a number; 80 when it is not a port number at all.
uint16_t PortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5) return 80;
    unsigned value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') return 80;
        value = value * 10 + static_cast<unsigned>(digit - '0');
    }
    return value <= 65535 ? static_cast<uint16_t>(value) : 80;
}

bool IsDefaultPort(const std::string& protocol, uint16_t port) {
    return (SameText(protocol, "http") && port == 80) || (SameText(protocol, "https") && port == 443);
}

}  // namespace

std::string TIdCustomHTTP::Get(const std::string& url) {
    TMemoryStream content;
    Get(url, content);
    return ResponseBodyToText(FResponse, content.Data());
}

void TIdCustomHTTP::Get(const std::string& url, TStream& responseContent) {
    if (FRequestTimeout > 0) SetDeadline(TClock::now() + std::chrono::milliseconds(FRequestTimeout));
    FHeaderBytes = 0;
    PrepareRequest(url);
    ConnectToHost();
    try {
        SendRequest();
        ReadResponseHead();
        HandleStatus(responseContent);
    } catch (const EIdHTTPProtocolException&) {
        // The error body was read to its end: the connection is as usable
        // as after a success.
        if (!FResponse.KeepAlive) Disconnect();
        throw;
    } catch (...) {
        Disconnect();
        throw;
    }
    if (!FResponse.KeepAlive) Disconnect();
}

void TIdCustomHTTP::PrepareRequest(const std::string& url) {
    const TIdURI uri(url);
    if (!uri.Username.empty()) {
        FRequest.Username = uri.Username;
        FRequest.Password = uri.Password;
    }
    TakeURL(uri);
    FRequest.Method = "GET";
    FRequest.URL = FURL.Path + FURL.Document + (FURL.Params.empty() ? "" : "?" + FURL.Params);
    FRequest.IPVersion = FURL.IPVersion;
    FRequest.ContentLength = -1;
    const uint16_t port = PortNumber(FURL.Port);
    const std::string host = FURL.IPVersion == Id_IPv6 ? "[" + FURL.Host + "]" : FURL.Host;
    FRequest.Host = IsDefaultPort(FURL.Protocol, port) ? host : host + ":" + std::to_string(port);
}

void TIdCustomHTTP::TakeURL(const TIdURI& uri) {
    // A relative path continues from the previous one.
    const bool relative = uri.Host.empty() && (uri.Path.empty() || uri.Path[0] != '/');
    FURL.Path = relative ? (FURL.Path.empty() ? "/" : FURL.Path) + uri.Path : uri.Path;
    FURL.Document = uri.Document;
    FURL.Params = uri.Params;
    FURL.Bookmark = uri.Bookmark;
    if (!uri.Host.empty()) {
        FURL.Host = uri.Host;
        FURL.IPVersion = uri.IPVersion;
    }
    if (!uri.Protocol.empty())
        FURL.Protocol = uri.Protocol;
    else if (!SameText(FURL.Protocol, "https"))
        FURL.Protocol = "http";
    if (!uri.Port.empty())
        FURL.Port = uri.Port;
    else if (SameText(FURL.Protocol, "http"))
        FURL.Port = "80";
    else if (SameText(FURL.Protocol, "https"))
        FURL.Port = "443";
    else
        throw EIdUnknownProtocol("Unknown Protocol");
    // There is no secure transport: refuse rather than send in the clear
    // what the caller meant to protect.
    if (SameText(FURL.Protocol, "https")) throw EIdUnknownProtocol("Unknown Protocol");
}

void TIdCustomHTTP::ConnectToHost() {
    const uint16_t port = PortNumber(FURL.Port);
    // Reuse only a connection that is open, to the same place, with nothing
    // unread left over from the previous answer.
    const bool reusable = FIOHandler && FIOHandler->Opened() && Connected() && !FIOHandler->ClosedGracefully() &&
                          FIOHandler->InputBufferIsEmpty() && Host() == FURL.Host && Port() == port;
    if (reusable) return;
    Disconnect();
    SetHost(FURL.Host);
    SetPort(port);
    SetIPVersion(FURL.IPVersion);
    Connect();
}

void TIdCustomHTTP::SendRequest() {
    TIdIOHandler& io = *FIOHandler;
    const TIdHeaderList headers = FRequest.Headers();
    io.WriteBufferOpen();
    const ScopeFail cancelWrite([&io] { io.WriteBufferCancel(); });
    io.WriteLn(FRequest.Method + " " + FRequest.URL + " HTTP/1.1");
    for (const std::string& line : headers.Lines()) io.WriteLn(line);
    io.WriteLn("");
    io.WriteBufferClose();
}

bool TIdCustomHTTP::KeepAliveAllowed() const {
    if (SameText(TrimBlanks(FRequest.Connection), "close")) return false;
    const std::string_view connection = TrimBlanks(FResponse.Connection);
    if (FResponse.ResponseVersion == pv1_1) return !SameText(connection, "close");
    return SameText(connection, "keep-alive");
}
