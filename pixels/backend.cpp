#include "pixels/backend.h"

void TCustomBackend::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCustomBackend::ChangeSize(int& width, int& height, int newWidth, int newHeight, bool clearBuffer) {
    Changing();
    try {
        FinalizeSurface();
        width = 0;
        height = 0;
        if (newWidth > 0 && newHeight > 0) InitializeSurface(newWidth, newHeight, clearBuffer);
        width = newWidth;
        height = newHeight;
    } catch (...) {
        Changed();
        throw;
    }
    Changed();
}
