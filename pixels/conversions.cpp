#include "pixels/conversions.h"

#include <cstring>

#include "base/scope_guard.h"
#include "pictures/canvas.h"
#include "pictures/picture.h"
#include "pixels/image_format.h"

namespace {

// Runs work inside an update bracket that is closed on every path. Not a
// destructor: closing the bracket calls listeners, and they may throw.
template <class Work>
void InUpdateBracket(TNotifiablePersistent& object, Work work) {
    object.BeginUpdate();
    try {
        work();
    } catch (...) {
        object.EndUpdate();
        throw;
    }
    object.EndUpdate();
}

[[noreturn]] void CannotAssign(const char* sourceName, const char* destName) {
    throw EConvertError(Format("Cannot assign a %s to a %s", sourceName, destName));
}

void DrawOnStore(TCustomBitmap32& target, TGraphic& graphic) {
    const TRect bounds = target.BoundsRect();
    if (auto* canvasSupport = target.BackendSupport<ICanvasSupport>()) {
        graphic.Draw(canvasSupport->Canvas(), bounds);
    } else if (auto* dcSupport = target.BackendSupport<IDeviceContextSupport>()) {
        TDCCanvas canvas(dcSupport->Handle(), bounds);
        canvas.Lock();
        const ScopeExit unlock([&canvas] { canvas.Unlock(); });
        graphic.Draw(canvas, bounds);
    } else {
        throw EBackend("Inappropriate Backend");
    }
}

}  // namespace

void AssignFromGraphicPlain(TCustomBitmap32& target, const TGraphic* srcGraphic, TColor32 fillColor,
                            bool resetAlphaAfterDrawing, TDrawCoverage coverage) {
    if (srcGraphic == nullptr) return;
    if (!target.BackendSupport<ICanvasSupport>() && !target.BackendSupport<IDeviceContextSupport>()) {
        // A store nothing can draw on: draw on a platform store and copy.
        TBitmap32 drawn;
        AssignFromGraphicPlain(drawn, srcGraphic, fillColor, resetAlphaAfterDrawing, coverage);
        drawn.CopyMapTo(target);
        return;
    }
    // Drawing may give the picture a canvas, but leaves its image as it was.
    TGraphic& graphic = const_cast<TGraphic&>(*srcGraphic);
    target.SetSize(graphic.Width(), graphic.Height());
    if (target.Empty()) return;
    if (coverage == TDrawCoverage::Partial) target.Clear(fillColor);
    DrawOnStore(target, graphic);
    if (resetAlphaAfterDrawing) target.ResetAlpha();
}

void TCustomBitmap32::Assign(const TCustomBitmap32* source) {
    InUpdateBracket(*this, [&] {
        if (source == nullptr) {
            SetSize(0, 0);
        } else {
            source->CopyMapTo(*this);
            source->CopyPropertiesTo(*this);
        }
        Changed();
    });
}

void TCustomBitmap32::Assign(const TGraphic* source) {
    InUpdateBracket(*this, [&] {
        if (source == nullptr) {
            SetSize(0, 0);
        } else if (!ImageFormatManager().AssignFrom(*this, TAssignSource{source, nullptr})) {
            // A platform picture knows no way into a 32-bit bitmap of its own.
            CannotAssign(source->ClassName(), ClassName());
        }
        Changed();
    });
}

void TCustomBitmap32::Assign(const TPicture* source) {
    InUpdateBracket(*this, [&] {
        if (source == nullptr) {
            SetSize(0, 0);
        } else if (!ImageFormatManager().AssignFrom(*this, TAssignSource{nullptr, source})) {
            CannotAssign(source->ClassName(), ClassName());
        }
        Changed();
    });
}

void TCustomBitmap32::AssignTo(TGraphic& dest) const {
    if (!ImageFormatManager().AssignTo(*this, TAssignTarget{&dest, nullptr}))
        CannotAssign(ClassName(), dest.ClassName());
}

void TCustomBitmap32::AssignTo(TPicture& dest) const {
    if (!ImageFormatManager().AssignTo(*this, TAssignTarget{nullptr, &dest}))
        CannotAssign(ClassName(), dest.ClassName());
}

void TCustomBitmap32::CopyMapTo(TCustomBitmap32& dst) const {
    InUpdateBracket(dst, [&] {
        dst.SetSize(FWidth, FHeight);
        if (!Empty() && &dst != this)
            std::memcpy(dst.FBits, FBits, size_t(FWidth) * size_t(FHeight) * sizeof(TColor32));
        dst.Changed();
    });
}
