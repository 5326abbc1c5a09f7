#include "pixels/notifiable.h"

#include <algorithm>
#include <cassert>

void TNotifiablePersistent::BeginUpdate() { ++FUpdateCount; }

void TNotifiablePersistent::EndUpdate() {
    assert(FUpdateCount > 0 && "Unpaired TThreadPersistent.EndUpdate");
    if (FUpdateCount <= 0) return;  // a programming error; never go below zero
    if (FUpdateCount == 1 && FModified) {
        FModified = false;
        DoChanged();
    }
    --FUpdateCount;
}

void TNotifiablePersistent::Changed() {
    if (FLockUpdateCount > 0) return;
    BeginUpdate();
    FModified = true;
    EndUpdate();
}

void TNotifiablePersistent::DoChanged() {
    if (FOnChange) FOnChange(this);
}

bool TCustomMap::SetSize(int newWidth, int newHeight) {
    newWidth = std::max(newWidth, 0);
    newHeight = std::max(newHeight, 0);
    if (newWidth == FWidth && newHeight == FHeight) return false;
    BeginUpdate();
    try {
        ChangeSize(FWidth, FHeight, newWidth, newHeight);
        Changed();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Resized();
    return true;
}

void TCustomMap::ChangeSize(int& width, int& height, int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
}

void TCustomMap::Resized() {
    if (FOnResize) FOnResize(this);
}
