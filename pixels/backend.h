#pragma once
// The owner of a 32-bit bitmap's pixel store, and the capabilities a backend
// may offer to the conversions (a canvas over the store, a device context
// holding it, a font record).

#include "base/exception.h"
#include "pictures/canvas.h"
#include "pictures/gdi/gdi.h"
#include "pixels/color32.h"
#include "pixels/notifiable.h"

TW_DECLARE_EXCEPTION(EBackend, Exception);

// A canvas drawing straight into the store.
class ICanvasSupport {
public:
    virtual ~ICanvasSupport() = default;
    // Made on first request; invalid after the next size change.
    virtual TCanvas& Canvas() = 0;
    virtual bool CanvasAllocated() const = 0;
    virtual void DeleteCanvas() = 0;
};

// A memory device context with the store selected into it.
class IDeviceContextSupport {
public:
    virtual ~IDeviceContextSupport() = default;
    virtual gdi::HDC Handle() const = 0;
    // Copies the whole store, at its own size, to (x, y) of `target`.
    virtual bool DrawTo(const gdi::HDC& target, int x, int y) const = 0;
};

// The font text output would use; kept as a plain record.
class IFontSupport {
public:
    virtual ~IFontSupport() = default;
    virtual const TFont& Font() const = 0;
    virtual void SetFont(const TFont& font) = 0;
};

class TCustomBackend : public TThreadPersistent {
public:
    TCustomBackend() = default;
    ~TCustomBackend() override = default;

    TColor32* Bits() const { return FBits; }
    virtual bool Empty() const { return FBits == nullptr; }

    // Releases the store, then makes one of the new size when both sides are
    // above 0. width and height are the owner's: they read 0 by 0 while no
    // store exists, so a failed allocation leaves the owner empty. Changing
    // runs before and Changed after, also on failure.
    void ChangeSize(int& width, int& height, int newWidth, int newHeight, bool clearBuffer);

    // Called before the store is replaced.
    TNotifyEvent OnChanging;

protected:
    virtual void Changing();
    // clearBuffer asks for a defined fill; a backend whose new memory is always
    // zero-filled may ignore it.
    virtual void InitializeSurface(int newWidth, int newHeight, bool clearBuffer) = 0;
    virtual void FinalizeSurface() = 0;

    TColor32* FBits = nullptr;
};
