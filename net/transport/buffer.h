#pragma once
// The input buffer of an IO handler: bytes received and not yet consumed.
// Bytes are taken from the front and appended at the back; the consumed
// front is reclaimed lazily so that taking a line costs no copy of the rest.

#include <cstddef>
#include <cstdint>
#include <vector>

class TIdBuffer {
public:
    size_t Size() const { return FBytes.size() - FHead; }
    bool Empty() const { return Size() == 0; }
    const uint8_t* Data() const { return FBytes.data() + FHead; }

    // Room for up to count more bytes at the back; Commit keeps the first
    // received of them and drops the rest.
    uint8_t* Reserve(size_t count);
    void Commit(size_t reserved, size_t received);

    void Append(const uint8_t* data, size_t count);
    void Remove(size_t count);
    void Clear();
    // Index of the first byte equal to value at or after start; -1 if none.
    ptrdiff_t IndexOf(uint8_t value, size_t start) const;

private:
    std::vector<uint8_t> FBytes;
    size_t FHead = 0;
};
