#pragma once
// The abstract picture every reader derives from, and the colour type of the
// platform (TColor).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/exception.h"
#include "base/stream.h"
#include "pictures/gdi/gdi.h"

// Red in the low byte, green next, blue in the third; negative values name
// system colours (index in the low byte).
using TColor = int32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor clBtnFace = clSystemColor | gdi::COLOR_BTNFACE;
// The RGB value of a colour: system colours replaced by their current value.
gdi::COLORREF ColorToRGB(TColor color);

// Raises EOutOfResources for a drawing object that could not be made: the
// system's text for the last error, or "Out of system resources".
[[noreturn]] void RaiseOutOfResources();

struct TRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};
inline TRect Rect(int32_t left, int32_t top, int32_t right, int32_t bottom) { return {left, top, right, bottom}; }

class TCanvas;
class TBitmap;

using TNotifyEvent = std::function<void(void* sender)>;

class TGraphic {
public:
    TGraphic() = default;
    virtual ~TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    // The class's own name, for "Cannot assign a %s to a %s".
    virtual const char* ClassName() const { return "TGraphic"; }

    // Copying between pictures: Assign handles the sources it knows and asks
    // Source.AssignTo(*this) for the others. Failing both: EConvertError
    // "Cannot assign a %s to a %s". A null source names itself "nil".
    virtual void Assign(const TGraphic* source);
    virtual void AssignTo(TGraphic& dest) const;

    // Opens the file for reading (EFOpenError "Cannot open file "%s". %s"
    // when it cannot be opened), loads from position 0, closes in every case.
    void LoadFromFile(const std::string& fileName);
    virtual void LoadFromStream(TStream& stream) = 0;

    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual void SetSize(int width, int height) {
        SetWidth(width);
        SetHeight(height);
    }
    virtual gdi::HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(const gdi::HPALETTE&) {}
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);
    virtual bool SupportsPartialTransparency() const { return false; }
    // A shortcut for callers that keep nothing but the final 32-bit pixels.
    // When every pixel is opaque and the picture can produce them straight
    // from its decoded data, asks `target` for room for Width() × Height()
    // pixels (rows of Width() pixels, top row first), writes each as blue,
    // green, red, 255, and returns true: the very pixels drawing the picture
    // onto a platform bitmap and widening that would give, without either
    // copy; true at once when they went to an offered target while loading
    // (OfferOpaqueTarget). Otherwise returns false before calling `target`,
    // and the caller draws the picture as usual.
    virtual bool WriteOpaquePixels(const std::function<uint32_t*()>& target);
    // Before a load, for the same callers: a picture that can decode opaque
    // pixels straight into `target` while it loads may do so, keeping no
    // pixels of its own; WriteOpaquePixels then only hands them over, and
    // the picture cannot be drawn. The offer holds for the next load only;
    // by default it is not taken.
    virtual void OfferOpaqueTarget(std::function<uint32_t*()>) {}
    // A new, empty picture of the same class (TPicture copies graphics with it).
    virtual std::unique_ptr<TGraphic> NewInstance() const = 0;

    bool Modified() const { return FModified; }
    void SetModified(bool value) { FModified = value; }
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }

protected:
    virtual void Changed();
    [[noreturn]] void ConvertError(const char* sourceName) const;

    bool FTransparent = false;
    bool FPaletteModified = false;

private:
    TNotifyEvent FOnChange;
    bool FModified = false;
};

// True when `graphic`'s dynamic type is T or derives from it.
template <class T>
const T* As(const TGraphic* graphic) {
    return dynamic_cast<const T*>(graphic);
}
