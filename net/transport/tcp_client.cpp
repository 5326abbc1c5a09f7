#include "net/transport/tcp_client.h"

#include "net/transport/exceptions.h"
#include "net/transport/io_handler_stack.h"

TIdTCPConnection::~TIdTCPConnection() { Disconnect(); }

bool TIdTCPConnection::Connected() { return FIOHandler && FIOHandler->Connected(); }

void TIdTCPConnection::Disconnect() {
    if (!FIOHandler) return;
    FIOHandler->Close();
    FIOHandler->ClearInputBuffer();
}

void TIdTCPConnection::CheckForDisconnect(bool raiseIfDisconnected, bool ignoreBuffer) {
    if (FIOHandler)
        FIOHandler->CheckForDisconnect(raiseIfDisconnected, ignoreBuffer);
    else if (raiseIfDisconnected)
        throw EIdNotConnected("Not Connected");
}

void TIdTCPClientCustom::Connect() {
    if (Connected()) throw EIdAlreadyConnected("Already connected.");
    if (FHost.empty()) throw EIdHostRequired("A Host is required");
    if (FPort == 0) throw EIdPortRequired("A Port is required");
    const bool created = !FIOHandler;
    if (created) FIOHandler = std::make_shared<TIdIOHandlerStack>();
    FIOHandler->SetHost(FHost);
    FIOHandler->SetPort(FPort);
    FIOHandler->SetIPVersion(FIPVersion);
    FIOHandler->SetConnectTimeout(FConnectTimeout);
    FIOHandler->SetReadTimeout(FReadTimeout);
    FIOHandler->SetDeadline(FDeadline);
    try {
        FIOHandler->Open();
    } catch (...) {
        FIOHandler->Close();
        if (created) FIOHandler.reset();
        throw;
    }
}

void TIdTCPClientCustom::SetReadTimeout(int milliseconds) {
    FReadTimeout = milliseconds;
    if (FIOHandler) FIOHandler->SetReadTimeout(milliseconds);
}

void TIdTCPClientCustom::SetDeadline(std::optional<TClock::time_point> deadline) {
    FDeadline = deadline;
    if (FIOHandler) FIOHandler->SetDeadline(deadline);
}
