#pragma once
// The 32-bit bitmap all colour analysis works on: Width × Height TColor32
// values in one block without gaps, top row first, pixel (x, y) at index
// y × Width + x. A new size always gives a new store; on the platform
// backend (TBitmap32) every pixel of it reads $00000000.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/stream.h"
#include "pictures/graphic.h"
#include "pixels/backend.h"
#include "pixels/color32.h"
#include "pixels/notifiable.h"

class TPicture;

enum TDrawMode : uint8_t { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum TCombineMode : uint8_t { cmBlend, cmMerge };
enum TWrapMode : uint8_t { wmClamp, wmRepeat, wmMirror };

// BMP information header versions: 40, 52, 56, 108 and 124 bytes.
enum TInfoHeaderVersion : uint8_t {
    InfoHeaderVersion1,
    InfoHeaderVersion2,
    InfoHeaderVersion3,
    InfoHeaderVersion4,
    InfoHeaderVersion5
};
constexpr TInfoHeaderVersion DefaultBitmapHeaderVersion = InfoHeaderVersion4;
constexpr bool DefaultBitmapIncludeColorTable = false;

class TCustomBitmap32 : public TCustomMap {
public:
    // 0 by 0, no store, on a memory backend.
    TCustomBitmap32();
    TCustomBitmap32(int width, int height);
    ~TCustomBitmap32() override;
    virtual const char* ClassName() const { return "TCustomBitmap32"; }

    // ---- The store: no coordinate is checked ------------------------------
    TColor32* Bits() { return FBits; }
    const TColor32* Bits() const { return FBits; }
    TColor32* ScanLine(int y) { return FBits + ptrdiff_t{y} * FWidth; }
    const TColor32* ScanLine(int y) const { return FBits + ptrdiff_t{y} * FWidth; }
    TColor32* PixelPtr(int x, int y) { return ScanLine(y) + x; }
    TColor32 Pixel(int x, int y) const { return ScanLine(y)[x]; }
    void SetPixel(int x, int y, TColor32 value) { ScanLine(y)[x] = value; }
    // Clipped access: outside the clip rectangle a read gives OuterColor and a
    // write does nothing.
    TColor32 PixelS(int x, int y) const;
    void SetPixelS(int x, int y, TColor32 value);

    bool Empty() const override;
    // Fills the store (only the clip rectangle while clipping); nothing, and no
    // notification, when empty.
    void Clear(TColor32 fillColor = clBlack32);
    // Sets the alpha byte of every pixel; blue, green and red stay.
    void ResetAlpha(uint8_t alphaValue = 255);

    TRect BoundsRect() const { return Rect(0, 0, FWidth, FHeight); }
    const TRect& ClipRect() const { return FClipRect; }
    // Intersected with the bounds.
    void SetClipRect(const TRect& value);
    void ResetClipRect() { SetClipRect(BoundsRect()); }
    bool Clipping() const { return FClipping; }

    // How this bitmap would be drawn onto another or sampled. Setting a value
    // already held does nothing; no setter ever changes a pixel.
    TDrawMode DrawMode() const { return FDrawMode; }
    void SetDrawMode(TDrawMode value);
    TCombineMode CombineMode() const { return FCombineMode; }
    void SetCombineMode(TCombineMode value);
    TWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TWrapMode value);
    uint32_t MasterAlpha() const { return FMasterAlpha; }
    void SetMasterAlpha(uint32_t value);
    TColor32 OuterColor() const { return FOuterColor; }
    void SetOuterColor(TColor32 value) { FOuterColor = value; }

    TCustomBackend& Backend() const { return *FBackend; }
    // The backend's capability `Capability`, or null when it lacks it.
    template <class Capability>
    Capability* BackendSupport() const {
        return dynamic_cast<Capability*>(FBackend.get());
    }

    // ---- Conversions ------------------------------------------------------
    // Null empties the bitmap; another 32-bit bitmap is copied with its
    // properties; anything else goes through the image-format registry, and
    // EConvertError "Cannot assign a %s to a %s" when no adapter takes it.
    void Assign(const TCustomBitmap32* source);
    void Assign(const TGraphic* source);
    void Assign(const TPicture* source);
    // Fills a platform picture or picture container from this bitmap through
    // the registry; EConvertError "Cannot assign a %s to a %s" when no
    // adapter takes it.
    void AssignTo(TGraphic& dest) const;
    void AssignTo(TPicture& dest) const;
    // Size and pixels.
    void CopyMapTo(TCustomBitmap32& dst) const;
    // Draw mode, combine mode, wrap mode, master alpha and outer colour.
    virtual void CopyPropertiesTo(TCustomBitmap32& dst) const;

    // ---- BMP files (32 bits per pixel, alpha as stored) --------------------
    // Picks the writer by the extension; without one writes a BMP file. The
    // file is written beside the target and replaces it only once complete.
    void SaveToFile(const std::string& fileName) const;
    void SaveToFile(const std::string& fileName, bool saveTopDown,
                    TInfoHeaderVersion infoHeaderVersion = DefaultBitmapHeaderVersion,
                    bool includeColorTable = DefaultBitmapIncludeColorTable) const;
    // A whole BMP file at the stream's position.
    void SaveToStream(TStream& stream, bool saveTopDown,
                      TInfoHeaderVersion infoHeaderVersion = DefaultBitmapHeaderVersion,
                      bool includeColorTable = DefaultBitmapIncludeColorTable) const;
    // The information header, the optional repeated masks and the rows.
    void SaveToDIBStream(TStream& stream, bool saveTopDown, TInfoHeaderVersion infoHeaderVersion,
                         bool includeColorTable) const;

protected:
    explicit TCustomBitmap32(std::unique_ptr<TCustomBackend> backend);
    void ChangeSize(int& width, int& height, int newWidth, int newHeight) override;

private:
    void BackendChanged();

    std::unique_ptr<TCustomBackend> FBackend;
    TColor32* FBits = nullptr;
    TRect FClipRect;
    bool FClipping = false;
    TDrawMode FDrawMode = dmOpaque;
    TCombineMode FCombineMode = cmBlend;
    TWrapMode FWrapMode = wmClamp;
    uint32_t FMasterAlpha = 255;
    TColor32 FOuterColor = clTransparent32;
};

// The bitmap of the program: its store is a platform DIB section
// (TGDIBackend), so it can be drawn on through a canvas and copied to a
// device context.
class TBitmap32 : public TCustomBitmap32 {
public:
    TBitmap32();
    TBitmap32(int width, int height);
    const char* ClassName() const override { return "TBitmap32"; }
    // Also copies the font when both backends keep one.
    void CopyPropertiesTo(TCustomBitmap32& dst) const override;
};

// Fills one row of a BMP file being written: row y (0 the top row) of the
// file's width pixels.
using TBmpRowSource = std::function<void(int y, TColor32* row)>;
// The BMP file TCustomBitmap32::SaveToStream(stream, false) writes for a
// width × height bitmap whose rows rowSource fills, at the stream's position:
// the rows are made as they are written and never exist all at once.
void SaveRowsToStream(TStream& stream, int width, int height, const TBmpRowSource& rowSource);
