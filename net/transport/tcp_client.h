#pragma once
// A TCP connection and the client that opens it. The connection holds its IO
// handler through a shared pointer: one it created itself is freed with it,
// one handed in stays with whoever else holds it.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/transport/io_handler.h"
#include "net/transport/stack.h"

class TIdTCPConnection {
public:
    TIdTCPConnection() = default;
    virtual ~TIdTCPConnection();  // closes the connection
    TIdTCPConnection(const TIdTCPConnection&) = delete;
    TIdTCPConnection& operator=(const TIdTCPConnection&) = delete;

    const std::shared_ptr<TIdIOHandler>& IOHandler() const { return FIOHandler; }
    void SetIOHandler(std::shared_ptr<TIdIOHandler> handler) { FIOHandler = std::move(handler); }

    // The socket is open and the peer has not closed it, or unread bytes
    // remain. A connection the peer reset or aborted counts as closed.
    bool Connected();
    // Closes the socket and drops unread bytes; nothing if it is not open.
    void Disconnect();
    void CheckForDisconnect(bool raiseIfDisconnected = true, bool ignoreBuffer = false);

private:
    // Declared first: the stack must outlive the handler's socket.
    TIdStackUsage FStackUsage;

protected:
    std::shared_ptr<TIdIOHandler> FIOHandler;
};

class TIdTCPClientCustom : public TIdTCPConnection {
public:
    using TClock = TIdIOHandler::TClock;

    // Opens the connection to Host:Port, creating the default transport when
    // there is no IO handler. Raises "Already connected.", "A Host is
    // required", "A Port is required" and the transport's failures.
    virtual void Connect();

    const std::string& Host() const { return FHost; }
    void SetHost(const std::string& host) { FHost = host; }
    uint16_t Port() const { return FPort; }
    void SetPort(uint16_t port) { FPort = port; }
    TIdIPVersion IPVersion() const { return FIPVersion; }
    void SetIPVersion(TIdIPVersion ipVersion) { FIPVersion = ipVersion; }
    // Milliseconds; 0: the system's own connect time.
    int ConnectTimeout() const { return FConnectTimeout; }
    void SetConnectTimeout(int milliseconds) { FConnectTimeout = milliseconds; }
    // Milliseconds per wait for bytes; -1 or 0: wait without limit.
    int ReadTimeout() const { return FReadTimeout; }
    void SetReadTimeout(int milliseconds);
    // After this point neither connecting nor reading waits any longer.
    std::optional<TClock::time_point> Deadline() const { return FDeadline; }
    void SetDeadline(std::optional<TClock::time_point> deadline);

private:
    std::string FHost;
    uint16_t FPort = 0;
    TIdIPVersion FIPVersion = Id_IPv4;
    int FConnectTimeout = 0;
    int FReadTimeout = -1;
    std::optional<TClock::time_point> FDeadline;
};
