#pragma once
// The IO handler of a connection: an input buffer filled by receives of at
// most RecvBufferSize bytes, line and block reads from it, and writes that
// go out at once or are collected and sent in one piece. Subclasses supply
// the source: opening, closing and the raw receive and send.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/stream.h"
#include "net/transport/buffer.h"
#include "net/transport/stack.h"

class TIdIOHandler {
public:
    using TClock = std::chrono::steady_clock;

    TIdIOHandler() = default;
    virtual ~TIdIOHandler() = default;
    TIdIOHandler(const TIdIOHandler&) = delete;
    TIdIOHandler& operator=(const TIdIOHandler&) = delete;

    // Clears the buffers and flags; subclasses then open the source.
    virtual void Open();
    // Closes the source; unread bytes stay readable.
    virtual void Close();
    // Drops the unread bytes.
    void ClearInputBuffer();
    // Whether the source is open (the peer may have closed its side).
    virtual bool Opened() const = 0;
    // Open and not closed by the peer, or unread bytes remain. Reads what is
    // waiting first, without waiting itself.
    bool Connected();

    void Write(const void* data, size_t size);
    // Text is encoded as US-ASCII.
    void Write(std::string_view text);
    void WriteLn(std::string_view text);
    void WriteBufferOpen();
    // Sends what was collected in one write and stops collecting.
    void WriteBufferClose();
    void WriteBufferCancel();

    // One line without its line end (line feed, optionally preceded by a
    // carriage return), decoded as US-ASCII.
    std::string ReadLn();
    // Appends byteCount bytes to stream or, with readUntilDisconnect,
    // everything until the peer closes.
    void ReadStream(TStream& stream, int64_t byteCount, bool readUntilDisconnect = false);
    void Discard(int64_t byteCount);
    void DiscardAll();
    bool InputBufferIsEmpty() const { return FInputBuffer.Empty(); }
    const TIdBuffer& InputBuffer() const { return FInputBuffer; }
    // Receives what arrives within timeoutMs; whether unread bytes exist.
    bool CheckForDataOnSource(int timeoutMs);
    // Closes a source that the peer has closed; raises "Connection Closed
    // Gracefully." when asked to and no unread bytes remain (or they are to
    // be ignored).
    void CheckForDisconnect(bool raiseIfDisconnected = true, bool ignoreBuffer = false);

    // Where Open connects to.
    const std::string& Host() const { return FHost; }
    void SetHost(const std::string& host) { FHost = host; }
    uint16_t Port() const { return FPort; }
    void SetPort(uint16_t port) { FPort = port; }
    TIdIPVersion IPVersion() const { return FIPVersion; }
    void SetIPVersion(TIdIPVersion ipVersion) { FIPVersion = ipVersion; }

    // Milliseconds; -1 or 0: no limit on a wait for bytes.
    int ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(int milliseconds) { FReadTimeout = milliseconds; }
    // Milliseconds; 0: no limit of the transport's own on connecting.
    int ConnectTimeout() const { return FConnectTimeout; }
    void SetConnectTimeout(int milliseconds) { FConnectTimeout = milliseconds; }
    // A point in time after which no wait continues: connecting raises
    // "Connect timed out.", reading "Read timed out.".
    std::optional<TClock::time_point> Deadline() const { return FDeadline; }
    void SetDeadline(std::optional<TClock::time_point> deadline) { FDeadline = deadline; }

    size_t RecvBufferSize() const { return FRecvBufferSize; }
    void SetRecvBufferSize(size_t size) { FRecvBufferSize = size > 0 ? size : 1; }
    size_t MaxLineLength() const { return FMaxLineLength; }
    void SetMaxLineLength(size_t length) { FMaxLineLength = length; }
    bool ClosedGracefully() const { return FClosedGracefully; }
    bool ReadLnTimedOut() const { return FReadLnTimedOut; }

protected:
    // Whether bytes or the peer's close wait, after at most timeoutMs
    // (negative: no limit).
    virtual bool SourceReadable(int timeoutMs) = 0;
    // Receives at most size bytes; 0 when the peer has closed.
    virtual size_t ReceiveFromSource(void* buffer, size_t size) = 0;
    // Sends up to size bytes; the number sent.
    virtual size_t SendToSource(const void* data, size_t size) = 0;

    // The wait allowed for timeoutMs (negative: none) before the deadline;
    // negative when there is no limit at all.
    int WaitLimit(int timeoutMs) const;

private:
    enum class TReadResult { Received, Closed, TimedOut };

    // A handler may outlive the connection that made it; its socket needs
    // the stack until the end.
    TIdStackUsage FStackUsage;

    // One receive into the input buffer after waiting at most timeoutMs
    // (negative: no limit). A failed receive closes the source.
    TReadResult ReadFromSource(int timeoutMs);
    // Raises "Connection Closed Gracefully." once the peer has closed,
    // otherwise waits for more bytes within the read time limit and raises
    // "Read timed out." when it runs out.
    void WaitForMore();
    void WriteDirect(const uint8_t* data, size_t size);
    void Transfer(TStream* stream, int64_t byteCount, bool readUntilDisconnect);
    void MoveFromBuffer(TStream* stream, size_t count);

    TIdBuffer FInputBuffer;
    std::optional<std::vector<uint8_t>> FWriteBuffer;
    size_t FLineSearchStart = 0;
    std::string FHost;
    uint16_t FPort = 0;
    TIdIPVersion FIPVersion = Id_IPv4;
    int FReadTimeout = -1;
    int FConnectTimeout = 0;
    std::optional<TClock::time_point> FDeadline;
    size_t FRecvBufferSize = 32768;
    size_t FMaxLineLength = 16384;
    bool FClosedGracefully = false;
    bool FReadLnTimedOut = false;
};
