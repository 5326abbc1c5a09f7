#include "pixels/memory_backend.h"

#include <algorithm>
#include <new>

void TMemoryBackend::InitializeSurface(int newWidth, int newHeight, bool clearBuffer) {
    // The same limit as every other pixel store, checked before multiplying.
    if (!gdi::WithinPixelLimit(newWidth, newHeight, 32)) throw EOutOfMemory("Out of memory");
    const size_t count = static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight);
    try {
        FStore.reset(new TColor32[count]);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
    std::fill_n(FStore.get(), count, clearBuffer ? clBlack32 : clTransparent32);
    FBits = FStore.get();
}

void TMemoryBackend::FinalizeSurface() {
    FStore.reset();
    FBits = nullptr;
}
