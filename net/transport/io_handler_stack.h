#pragma once
// The default transport: an IO handler over a TCP socket of GStack.

#include "net/transport/io_handler.h"
#include "net/transport/socket_handle.h"

class TIdIOHandlerStack : public TIdIOHandler {
public:
    // Resolves Host and connects to it, within ConnectTimeout (resolving
    // included) and the deadline; on failure the socket is closed again.
    void Open() override;
    void Close() override;
    bool Opened() const override { return FBinding.HandleAllocated(); }
    const TIdSocketHandle& Binding() const { return FBinding; }

protected:
    bool SourceReadable(int timeoutMs) override;
    size_t ReceiveFromSource(void* buffer, size_t size) override;
    size_t SendToSource(const void* data, size_t size) override;

private:
    // Milliseconds left for connecting; 0 when there is no limit.
    int ConnectTimeLeft(std::optional<TClock::time_point> end) const;

    TIdSocketHandle FBinding;
};
