// The answer side of a GET: status line, headers, status handling and the
// body by its framing.
#include <algorithm>
#include <limits>

#include "net/http/http.h"
#include "net/http/http_exceptions.h"
#include "net/text/strings.h"

namespace {

// Raised inside the reading of an error body once its cap is reached.
struct TErrorBodyFull {};

// Keeps the first bytes written up to its capacity (negative: no cap) and
// then stops the reading: what lies beyond the cap is never shown, and a
// server sending without end must not keep the client reading until its
// deadline.
class TCappedMemoryStream : public TMemoryStream {
public:
    explicit TCappedMemoryStream(int64_t capacity) : FCapacity(capacity) {}
    size_t Write(const void* buffer, size_t count) override {
        if (FCapacity < 0 || Position() + static_cast<int64_t>(count) <= FCapacity)
            return TMemoryStream::Write(buffer, count);
        const int64_t room = std::max<int64_t>(FCapacity - Position(), 0);
        TMemoryStream::Write(buffer, static_cast<size_t>(room));
        throw TErrorBodyFull{};
    }

private:
    int64_t FCapacity;
};

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    return -1;
}

// The size of a chunk from its line, extensions after ";" ignored. A size
// that is not plain hexadecimal or overflows would desynchronise the body
// and is refused.
int64_t ChunkSize(const std::string& line) {
    const std::string_view text = TrimBlanks(std::string_view(line).substr(0, line.find(';')));
    if (text.empty()) throw EIdHTTPInvalidChunkSize("Invalid chunk size.");
    int64_t size = 0;
    for (const char digit : text) {
        const int value = HexValue(digit);
        if (value < 0 || size > (std::numeric_limits<int64_t>::max() - value) / 16)
            throw EIdHTTPInvalidChunkSize("Invalid chunk size.");
        size = size * 16 + value;
    }
    return size;
}

bool IsInterim(int code) { return code >= 100 && code <= 199 && code != 101; }

}  // namespace

void TIdCustomHTTP::ReadResponseHead() {
    do {
        const std::string statusLine = FIOHandler->ReadLn();
        CountHeaderBytes(statusLine);
        FResponse.Clear();
        FResponse.SetStatusLine(statusLine);
        ReadHeaderLines(FResponse.RawHeaders);
        FResponse.ProcessHeaders();
    } while (IsInterim(FResponse.ResponseCode));
    FResponse.KeepAlive = KeepAliveAllowed();
}

void TIdCustomHTTP::ReadHeaderLines(TIdHeaderList& headers) {
    int lines = 0;
    for (;;) {
        std::string line;
        try {
            line = FIOHandler->ReadLn();
        } catch (const EIdConnClosedGracefully&) {
            // A server that closes within the headers: what came counts.
            Disconnect();
            return;
        }
        if (line.empty()) return;
        if (++lines > FMaxHeaderLines) throw EIdHTTPHeaderLimitExceeded("Too many header lines.");
        CountHeaderBytes(line);
        headers.Add(line);
    }
}

void TIdCustomHTTP::CountHeaderBytes(const std::string& line) {
    FHeaderBytes += line.size() + 2;
    if (FHeaderBytes > FMaxHeaderBytes) throw EIdHTTPHeaderLimitExceeded("Header lines too long in all.");
}

void TIdCustomHTTP::HandleStatus(TStream& responseContent) {
    const int code = FResponse.ResponseCode;
    if (code >= 200 && code <= 299) {
        if (code != 204) ReadBody(responseContent);
        return;
    }
    if (code == 101) return;
    // Redirections are not followed and no credentials are held, so every
    // other status, 3xx, 401 and 407 included, is an error.
    RaiseErrorStatus();
}

void TIdCustomHTTP::RaiseErrorStatus() {
    TCappedMemoryStream body(FMaxErrorBodySize);
    try {
        ReadBody(body);
    } catch (const EIdConnClosedGracefully&) {
        FResponse.KeepAlive = false;
    } catch (const TErrorBodyFull&) {
        // The rest of the body is still on its way: the connection cannot
        // carry another request and is closed with the error.
        FResponse.KeepAlive = false;
    }
    const std::string text = ResponseBodyToText(FResponse, body.Data());
    throw EIdHTTPProtocolException(FResponse.ResponseCode, FResponse.ResponseText, text);
}

void TIdCustomHTTP::ReadBody(TStream& stream) {
    TIdIOHandler& io = *FIOHandler;
    const int code = FResponse.ResponseCode;
    if ((code >= 100 && code <= 199) || code == 204 || code == 304) return;
    if (code >= 300 && code <= 399) {
        // Redirections often come without a body and without saying so:
        // wait a little for one, but not when the headers say it is empty.
        if (FResponse.ContentLength == 0) return;
        if (io.InputBufferIsEmpty() && !io.CheckForDataOnSource(5000)) return;
    }
    if (LowerCase(FResponse.TransferEncoding).find("chunked") != std::string::npos) {
        ReadChunkedBody(stream);
    } else if (FResponse.HasContentLength()) {
        try {
            io.ReadStream(stream, FResponse.ContentLength);
        } catch (const EIdConnClosedGracefully&) {
            // A body cut short by the server's close is what there is.
            FResponse.KeepAlive = false;
        }
    } else {
        io.ReadStream(stream, -1, true);
    }
}

void TIdCustomHTTP::ReadChunkedBody(TStream& stream) {
    TIdIOHandler& io = *FIOHandler;
    for (;;) {
        const int64_t size = ChunkSize(io.ReadLn());
        if (size == 0) break;
        io.ReadStream(stream, size);
        io.ReadLn();
    }
    ReadHeaderLines(FResponse.RawHeaders);
}
