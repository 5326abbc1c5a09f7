#pragma once
// The socket stack: name resolution and the socket calls of the transport,
// each failure raised as EIdSocketError. One process-wide instance, GStack,
// exists while any network component does.

#include <cstddef>
#include <cstdint>
#include <string>

enum TIdIPVersion { Id_IPv4, Id_IPv6 };

class TIdStack {
public:
    // The address text to connect to: "localhost" in any case without asking
    // the name service, an address literal of the version unchanged, anything
    // else the first address the name service gives. timeoutMs > 0 bounds
    // the lookup (EIdConnectTimeout "Connect timed out.").
    std::string ResolveHost(const std::string& host, TIdIPVersion ipVersion, int timeoutMs = 0);
    // Four numbers 0-255 separated by "." and nothing else.
    bool IsIP(const std::string& ip) const;

    int NewSocketHandle(TIdIPVersion ipVersion);
    // Blocks until connected; timeoutMs > 0 bounds the wait
    // (EIdConnectTimeout "Connect timed out.").
    void Connect(int handle, const std::string& ip, uint16_t port, TIdIPVersion ipVersion, int timeoutMs);
    // Bytes sent; 0 only when nothing could be sent.
    size_t Send(int handle, const void* data, size_t size);
    // Bytes received; 0 when the peer has closed the connection.
    size_t Receive(int handle, void* buffer, size_t size);
    // Whether bytes (or the peer's close) wait, after at most timeoutMs
    // (negative: no limit).
    bool Readable(int handle, int timeoutMs);
    // Shuts the sending side down; the peer sees the end of the stream.
    void Disconnect(int handle);

    std::string WSTranslateSocketErrorMsg(int error) const;
    [[noreturn]] void RaiseSocketError(int error) const;
};

// The process-wide stack; valid while a TIdStackUsage exists.
extern TIdStack* GStack;

// Held by every network component for its lifetime: the first holder creates
// GStack, the last one frees it.
class TIdStackUsage {
public:
    TIdStackUsage();
    ~TIdStackUsage();
    TIdStackUsage(const TIdStackUsage&) = delete;
    TIdStackUsage& operator=(const TIdStackUsage&) = delete;

    // The number of holders, for checks.
    static int Count();
    // How many holders were ever made in this process. Every network
    // component holds the stack, so a count that did not move proves that
    // no name was resolved and no connection made in between.
    static int64_t Acquisitions();
};
