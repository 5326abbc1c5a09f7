#include "pixels/bitmap32.h"

#include <algorithm>

#include "pixels/gdi_backend.h"
#include "pixels/memory_backend.h"

TCustomBitmap32::TCustomBitmap32() : TCustomBitmap32(std::make_unique<TMemoryBackend>()) {}

TCustomBitmap32::TCustomBitmap32(int width, int height) : TCustomBitmap32() { SetSize(width, height); }

TCustomBitmap32::TCustomBitmap32(std::unique_ptr<TCustomBackend> backend) : FBackend(std::move(backend)) {
    FBackend->SetOnChange([this](void*) { BackendChanged(); });
    BackendChanged();
}

TCustomBitmap32::~TCustomBitmap32() {
    // Nobody hears about the store going away.
    BeginLockUpdate();
    SetOnChange(nullptr);
    SetOnResize(nullptr);
    FBackend->SetOnChange(nullptr);
}

void TCustomBitmap32::ChangeSize(int& width, int& height, int newWidth, int newHeight) {
    FBackend->ChangeSize(width, height, newWidth, newHeight, true);
}

void TCustomBitmap32::BackendChanged() {
    FBits = FBackend->Bits();
    ResetClipRect();
}

bool TCustomBitmap32::Empty() const { return FBackend->Empty() || FWidth == 0 || FHeight == 0; }

TColor32 TCustomBitmap32::PixelS(int x, int y) const {
    const bool inside = x >= FClipRect.Left && x < FClipRect.Right && y >= FClipRect.Top && y < FClipRect.Bottom;
    return inside ? Pixel(x, y) : FOuterColor;
}

void TCustomBitmap32::SetPixelS(int x, int y, TColor32 value) {
    if (x >= FClipRect.Left && x < FClipRect.Right && y >= FClipRect.Top && y < FClipRect.Bottom) SetPixel(x, y, value);
}

void TCustomBitmap32::Clear(TColor32 fillColor) {
    if (Empty()) return;
    if (FClipping) {
        for (int y = FClipRect.Top; y < FClipRect.Bottom; ++y)
            std::fill(PixelPtr(FClipRect.Left, y), PixelPtr(FClipRect.Right, y), fillColor);
    } else {
        std::fill_n(FBits, size_t(FWidth) * size_t(FHeight), fillColor);
    }
    Changed();
}

void TCustomBitmap32::ResetAlpha(uint8_t alphaValue) {
    if (!Empty()) {
        const TColor32 alpha = TColor32{alphaValue} << 24;
        const size_t count = size_t(FWidth) * size_t(FHeight);
        // Sixteen pixels a step: a loop of fixed length the compiler turns
        // into vector instructions.
        constexpr size_t Step = 16;
        size_t i = 0;
        for (; i + Step <= count; i += Step)
            for (size_t k = 0; k < Step; ++k) FBits[i + k] = (FBits[i + k] & 0x00FFFFFF) | alpha;
        for (; i < count; ++i) FBits[i] = (FBits[i] & 0x00FFFFFF) | alpha;
    }
    Changed();
}

void TCustomBitmap32::SetClipRect(const TRect& value) {
    FClipRect.Left = std::clamp(value.Left, 0, FWidth);
    FClipRect.Top = std::clamp(value.Top, 0, FHeight);
    FClipRect.Right = std::clamp(value.Right, FClipRect.Left, FWidth);
    FClipRect.Bottom = std::clamp(value.Bottom, FClipRect.Top, FHeight);
    FClipping = !(FClipRect == BoundsRect());
}

void TCustomBitmap32::SetDrawMode(TDrawMode value) {
    if (value == FDrawMode) return;
    FDrawMode = value;
    Changed();
}

void TCustomBitmap32::SetCombineMode(TCombineMode value) {
    if (value == FCombineMode) return;
    FCombineMode = value;
    Changed();
}

void TCustomBitmap32::SetWrapMode(TWrapMode value) {
    if (value == FWrapMode) return;
    FWrapMode = value;
    Changed();
}

void TCustomBitmap32::SetMasterAlpha(uint32_t value) {
    if (value == FMasterAlpha) return;
    FMasterAlpha = value;
    Changed();
}

void TCustomBitmap32::CopyPropertiesTo(TCustomBitmap32& dst) const {
    dst.SetDrawMode(FDrawMode);
    dst.SetCombineMode(FCombineMode);
    dst.SetWrapMode(FWrapMode);
    dst.SetMasterAlpha(FMasterAlpha);
    dst.SetOuterColor(FOuterColor);
}

TBitmap32::TBitmap32() : TCustomBitmap32(std::make_unique<TGDIBackend>()) {}

TBitmap32::TBitmap32(int width, int height) : TBitmap32() { SetSize(width, height); }

void TBitmap32::CopyPropertiesTo(TCustomBitmap32& dst) const {
    TCustomBitmap32::CopyPropertiesTo(dst);
    const IFontSupport* source = BackendSupport<IFontSupport>();
    IFontSupport* target = dst.BackendSupport<IFontSupport>();
    if (source && target) target->SetFont(source->Font());
}
