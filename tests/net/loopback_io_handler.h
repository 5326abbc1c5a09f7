#pragma once
// An IO handler that connects to a loopback port whatever host and port the
// client asks for: a request can name any host and still stay on this
// machine, with no name lookup.

#include <cstdint>

#include "net/transport/io_handler_stack.h"

class TLoopbackIOHandler : public TIdIOHandlerStack {
public:
    explicit TLoopbackIOHandler(uint16_t port) : FPort(port) {}
    void Open() override {
        SetHost("127.0.0.1");
        SetPort(FPort);
        TIdIOHandlerStack::Open();
    }

private:
    uint16_t FPort;
};
