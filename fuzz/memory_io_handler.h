#pragma once
// A transport that answers from a block of memory: each receive hands over
// at most ChunkSize bytes, the end of the block is the peer's close, and
// whatever the client sends is dropped. Reopening continues where the last
// connection stopped, so one input can carry several answers.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "net/transport/io_handler.h"

class TMemoryIOHandler : public TIdIOHandler {
public:
    TMemoryIOHandler(const uint8_t* data, size_t size, size_t chunkSize)
        : FData(data), FSize(size), FChunkSize(std::max<size_t>(chunkSize, 1)) {}

    void Open() override {
        TIdIOHandler::Open();
        FOpen = true;
    }
    void Close() override {
        TIdIOHandler::Close();
        FOpen = false;
    }
    bool Opened() const override { return FOpen; }

protected:
    bool SourceReadable(int) override { return true; }
    size_t ReceiveFromSource(void* buffer, size_t size) override {
        const size_t count = std::min({size, FChunkSize, FSize - FPosition});
        if (count > 0) std::memcpy(buffer, FData + FPosition, count);
        FPosition += count;
        return count;
    }
    size_t SendToSource(const void*, size_t size) override { return size; }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FChunkSize;
    size_t FPosition = 0;
    bool FOpen = false;
};
