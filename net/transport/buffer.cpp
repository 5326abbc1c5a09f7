#include "net/transport/buffer.h"

#include <cstring>

uint8_t* TIdBuffer::Reserve(size_t count) {
    const size_t end = FBytes.size();
    FBytes.resize(end + count);
    return FBytes.data() + end;
}

void TIdBuffer::Commit(size_t reserved, size_t received) { FBytes.resize(FBytes.size() - reserved + received); }

void TIdBuffer::Append(const uint8_t* data, size_t count) { FBytes.insert(FBytes.end(), data, data + count); }

void TIdBuffer::Remove(size_t count) {
    FHead += count < Size() ? count : Size();
    if (FHead == FBytes.size()) {
        Clear();
    } else if (FHead >= 65536 && FHead * 2 >= FBytes.size()) {
        FBytes.erase(FBytes.begin(), FBytes.begin() + static_cast<ptrdiff_t>(FHead));
        FHead = 0;
    }
}

void TIdBuffer::Clear() {
    FBytes.clear();
    FHead = 0;
}

ptrdiff_t TIdBuffer::IndexOf(uint8_t value, size_t start) const {
    if (start >= Size()) return -1;
    const void* found = std::memchr(Data() + start, value, Size() - start);
    return found ? static_cast<const uint8_t*>(found) - Data() : -1;
}
