#pragma once
// A pixel store in an ordinary heap block.

#include <memory>

#include "pixels/backend.h"

class TMemoryBackend : public TCustomBackend {
public:
    ~TMemoryBackend() override { FinalizeSurface(); }

protected:
    // A cleared store is opaque black ($FF000000); an uncleared one is zeroed,
    // never left uninitialised.
    void InitializeSurface(int newWidth, int newHeight, bool clearBuffer) override;
    void FinalizeSurface() override;

private:
    std::unique_ptr<TColor32[]> FStore;
};
