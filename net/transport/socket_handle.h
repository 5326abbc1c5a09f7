#pragma once
// One socket: its handle, address family and peer. Connecting, closing and
// handle changes are serialised by the handle's own lock.

#include <cstdint>
#include <mutex>
#include <string>

#include "net/transport/stack.h"

class TIdSocketHandle {
public:
    TIdSocketHandle() = default;
    ~TIdSocketHandle() { CloseSocket(); }
    TIdSocketHandle(const TIdSocketHandle&) = delete;
    TIdSocketHandle& operator=(const TIdSocketHandle&) = delete;

    // A new socket of the version's family; an open one is closed first.
    void AllocateSocket(TIdIPVersion ipVersion);
    void SetPeer(const std::string& ip, uint16_t port);
    // Connects to the peer; timeoutMs > 0 bounds the wait.
    void Connect(int timeoutMs);
    // Shuts the sending side down, closes the socket and forgets its handle.
    void CloseSocket();

    bool HandleAllocated() const;
    int Handle() const;
    TIdIPVersion IPVersion() const { return FIPVersion; }
    const std::string& PeerIP() const { return FPeerIP; }
    uint16_t PeerPort() const { return FPeerPort; }

private:
    mutable std::mutex FLock;
    int FHandle = -1;
    TIdIPVersion FIPVersion = Id_IPv4;
    std::string FPeerIP;
    uint16_t FPeerPort = 0;
};
