#include "net/transport/socket_handle.h"

#include <unistd.h>

void TIdSocketHandle::AllocateSocket(TIdIPVersion ipVersion) {
    CloseSocket();
    const int handle = GStack->NewSocketHandle(ipVersion);
    std::lock_guard lock(FLock);
    FHandle = handle;
    FIPVersion = ipVersion;
}

void TIdSocketHandle::SetPeer(const std::string& ip, uint16_t port) {
    FPeerIP = ip;
    FPeerPort = port;
}

void TIdSocketHandle::Connect(int timeoutMs) {
    std::lock_guard lock(FLock);
    GStack->Connect(FHandle, FPeerIP, FPeerPort, FIPVersion, timeoutMs);
}

void TIdSocketHandle::CloseSocket() {
    std::lock_guard lock(FLock);
    if (FHandle < 0) return;
    GStack->Disconnect(FHandle);
    close(FHandle);
    FHandle = -1;
}

bool TIdSocketHandle::HandleAllocated() const {
    std::lock_guard lock(FLock);
    return FHandle >= 0;
}

int TIdSocketHandle::Handle() const {
    std::lock_guard lock(FLock);
    return FHandle;
}
