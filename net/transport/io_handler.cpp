#include "net/transport/io_handler.h"

#include <algorithm>

#include "base/scope_guard.h"
#include "net/text/encoding.h"
#include "net/transport/exceptions.h"
#include "net/transport/socket_errors.h"

void TIdIOHandler::Open() {
    FInputBuffer.Clear();
    FWriteBuffer.reset();
    FLineSearchStart = 0;
    FClosedGracefully = false;
    FReadLnTimedOut = false;
}

void TIdIOHandler::Close() { FWriteBuffer.reset(); }

void TIdIOHandler::ClearInputBuffer() {
    FInputBuffer.Clear();
    FLineSearchStart = 0;
}

bool TIdIOHandler::Connected() {
    if (Opened() && !FClosedGracefully) {
        try {
            ReadFromSource(0);
        } catch (const EIdSocketError& error) {
            // A connection the peer dropped is simply not connected any more.
            const int code = error.LastError();
            if (code != SocketErrors::ConnectionAborted && code != SocketErrors::ConnectionReset &&
                code != SocketErrors::SendAfterShutdown)
                throw;
        }
    }
    return (Opened() && !FClosedGracefully) || !FInputBuffer.Empty();
}

void TIdIOHandler::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (FWriteBuffer)
        FWriteBuffer->insert(FWriteBuffer->end(), bytes, bytes + size);
    else
        WriteDirect(bytes, size);
}

void TIdIOHandler::Write(std::string_view text) {
    const std::vector<uint8_t> bytes = EncodeUSASCII(text);
    Write(bytes.data(), bytes.size());
}

void TIdIOHandler::WriteLn(std::string_view text) {
    std::vector<uint8_t> bytes = EncodeUSASCII(text);
    bytes.push_back('\r');
    bytes.push_back('\n');
    Write(bytes.data(), bytes.size());
}

void TIdIOHandler::WriteBufferOpen() {
    if (!FWriteBuffer) FWriteBuffer.emplace();
}

void TIdIOHandler::WriteBufferClose() {
    if (!FWriteBuffer) return;
    const std::vector<uint8_t> bytes = std::move(*FWriteBuffer);
    FWriteBuffer.reset();
    WriteDirect(bytes.data(), bytes.size());
}

void TIdIOHandler::WriteBufferCancel() { FWriteBuffer.reset(); }

void TIdIOHandler::WriteDirect(const uint8_t* data, size_t size) {
    while (size > 0) {
        if (FClosedGracefully) CheckForDisconnect(true, true);
        if (!Opened()) throw EIdNotConnected("Not Connected");
        size_t sent;
        try {
            sent = SendToSource(data, size);
        } catch (const EIdSocketError&) {
            Close();
            throw;
        }
        if (sent == 0) FClosedGracefully = true;
        data += sent;
        size -= sent;
    }
}

std::string TIdIOHandler::ReadLn() {
    FReadLnTimedOut = false;
    for (;;) {
        const ptrdiff_t lineFeed = FInputBuffer.IndexOf('\n', FLineSearchStart);
        // The limit holds however the line arrived: a line with its line
        // feed already received is measured like one still arriving.
        const size_t lineLength = lineFeed >= 0 ? static_cast<size_t>(lineFeed) : FInputBuffer.Size();
        if (lineLength > FMaxLineLength) throw EIdReadLnMaxLineLengthExceeded("Max line length exceeded.");
        if (lineFeed >= 0) {
            size_t end = static_cast<size_t>(lineFeed);
            if (end > 0 && FInputBuffer.Data()[end - 1] == '\r') --end;
            std::string line = DecodeUSASCII(TBytes(FInputBuffer.Data(), end));
            FInputBuffer.Remove(static_cast<size_t>(lineFeed) + 1);
            FLineSearchStart = 0;
            return line;
        }
        FLineSearchStart = FInputBuffer.Size();
        try {
            WaitForMore();
        } catch (const EIdReadTimeout&) {
            FReadLnTimedOut = true;
            throw;
        }
    }
}

void TIdIOHandler::ReadStream(TStream& stream, int64_t byteCount, bool readUntilDisconnect) {
    Transfer(&stream, byteCount, readUntilDisconnect);
}

void TIdIOHandler::Discard(int64_t byteCount) { Transfer(nullptr, byteCount, false); }

void TIdIOHandler::DiscardAll() { Transfer(nullptr, 0, true); }

bool TIdIOHandler::CheckForDataOnSource(int timeoutMs) {
    if (Opened() && !FClosedGracefully) ReadFromSource(timeoutMs);
    return !FInputBuffer.Empty();
}

void TIdIOHandler::CheckForDisconnect(bool raiseIfDisconnected, bool ignoreBuffer) {
    bool disconnected = !Opened();
    if (FClosedGracefully) {
        if (Opened()) Close();
        disconnected = true;
    }
    if (disconnected && raiseIfDisconnected && (FInputBuffer.Empty() || ignoreBuffer))
        throw EIdConnClosedGracefully("Connection Closed Gracefully.");
}

int TIdIOHandler::WaitLimit(int timeoutMs) const {
    if (!FDeadline) return timeoutMs;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*FDeadline - TClock::now()).count();
    const int leftMs = static_cast<int>(std::clamp<long long>(left, 0, INT32_MAX));
    return timeoutMs < 0 ? leftMs : std::min(timeoutMs, leftMs);
}

TIdIOHandler::TReadResult TIdIOHandler::ReadFromSource(int timeoutMs) {
    if (!Opened()) throw EIdNotConnected("Not Connected");
    // Past the deadline nothing more is read, however fast bytes arrive.
    if (FDeadline && TClock::now() >= *FDeadline) return TReadResult::TimedOut;
    try {
        if (!SourceReadable(WaitLimit(timeoutMs))) return TReadResult::TimedOut;
        uint8_t* space = FInputBuffer.Reserve(FRecvBufferSize);
        size_t received = 0;
        {
            const ScopeFail giveBack([this] { FInputBuffer.Commit(FRecvBufferSize, 0); });
            received = ReceiveFromSource(space, FRecvBufferSize);
        }
        FInputBuffer.Commit(FRecvBufferSize, received);
        if (received > 0) return TReadResult::Received;
        FClosedGracefully = true;
        return TReadResult::Closed;
    } catch (const EIdSocketError&) {
        Close();
        throw;
    }
}

void TIdIOHandler::WaitForMore() {
    if (FClosedGracefully) CheckForDisconnect(true, true);
    if (ReadFromSource(FReadTimeout > 0 ? FReadTimeout : -1) == TReadResult::TimedOut)
        throw EIdReadTimeout("Read timed out.");
}

void TIdIOHandler::Transfer(TStream* stream, int64_t byteCount, bool readUntilDisconnect) {
    if (readUntilDisconnect) {
        for (;;) {
            MoveFromBuffer(stream, FInputBuffer.Size());
            if (FClosedGracefully) break;
            WaitForMore();
        }
        CheckForDisconnect(false);
        return;
    }
    uint64_t remaining = byteCount > 0 ? static_cast<uint64_t>(byteCount) : 0;
    for (;;) {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining, FInputBuffer.Size()));
        MoveFromBuffer(stream, take);
        remaining -= take;
        if (remaining == 0) return;
        WaitForMore();
    }
}

void TIdIOHandler::MoveFromBuffer(TStream* stream, size_t count) {
    if (count == 0) return;
    if (stream) stream->WriteBuffer(FInputBuffer.Data(), count);
    FInputBuffer.Remove(count);
    FLineSearchStart = 0;
}
