#include "net/transport/io_handler_stack.h"

#include <algorithm>

#include "net/transport/exceptions.h"

void TIdIOHandlerStack::Open() {
    TIdIOHandler::Open();
    std::optional<TClock::time_point> end = Deadline();
    if (ConnectTimeout() > 0) {
        const TClock::time_point limit = TClock::now() + std::chrono::milliseconds(ConnectTimeout());
        if (!end || limit < *end) end = limit;
    }
    try {
        FBinding.AllocateSocket(IPVersion());
        const std::string ip = GStack->ResolveHost(Host(), IPVersion(), ConnectTimeLeft(end));
        FBinding.SetPeer(ip, Port());
        FBinding.Connect(ConnectTimeLeft(end));
    } catch (...) {
        Close();
        throw;
    }
}

void TIdIOHandlerStack::Close() {
    TIdIOHandler::Close();
    FBinding.CloseSocket();
}

int TIdIOHandlerStack::ConnectTimeLeft(std::optional<TClock::time_point> end) const {
    if (!end) return 0;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*end - TClock::now()).count();
    if (left <= 0) throw EIdConnectTimeout("Connect timed out.");
    return static_cast<int>(std::min<long long>(left, INT32_MAX));
}

bool TIdIOHandlerStack::SourceReadable(int timeoutMs) { return GStack->Readable(FBinding.Handle(), timeoutMs); }

size_t TIdIOHandlerStack::ReceiveFromSource(void* buffer, size_t size) {
    return GStack->Receive(FBinding.Handle(), buffer, size);
}

size_t TIdIOHandlerStack::SendToSource(const void* data, size_t size) {
    return GStack->Send(FBinding.Handle(), data, size);
}
