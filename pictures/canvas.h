#pragma once
// A drawing surface over a memory device context that holds a bitmap.

#include <functional>
#include <mutex>
#include <string>

#include "pictures/gdi/gdi.h"
#include "pictures/graphic.h"

enum class TPenStyle { psSolid, psClear };
enum class TBrushStyle { bsSolid, bsClear };
enum class TCopyMode : uint32_t { cmSrcCopy = gdi::SRCCOPY };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
};
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};
// The font is a plain record: no road draws text.
struct TFont {
    std::string Name = "Segoe UI";
    int Size = 9;
    TColor Color = clBlack;
    int Charset = 1;
    bool Bold = false;
    bool Italic = false;
    bool operator==(const TFont&) const = default;
};

class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen& Pen() { return FPen; }
    TBrush& Brush() { return FBrush; }
    TFont& Font() { return FFont; }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode mode) { FCopyMode = mode; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void FillRect(const TRect& rect);
    // Nothing for a null or empty graphic; otherwise the graphic draws itself
    // into (x, y, x + Width, y + Height).
    void Draw(int x, int y, TGraphic* graphic);
    virtual TRect ClipRect() const;
    // The device context; raises EOutOfResources when it cannot be made.
    virtual gdi::HDC Handle();

    void Lock() { FLock.lock(); }
    void Unlock() { FLock.unlock(); }
    // Called before the canvas draws (the owning bitmap prepares its pixels).
    std::function<void()> OnChanging;
    std::function<void()> OnChanged;

protected:
    virtual void CreateHandle() {}
    void SetHandle(gdi::HDC dc) { FHandle = std::move(dc); }
    // The device context as it is, without creating or preparing it.
    const gdi::HDC& CurrentHandle() const { return FHandle; }
    void Changing();  // runs OnChanging
    void Changed();   // runs OnChanged
    // Pushes pen and brush into the device context before drawing.
    void RequireState();

private:
    gdi::HDC FHandle;
    TPen FPen;
    TBrush FBrush;
    TFont FFont;
    TCopyMode FCopyMode = TCopyMode::cmSrcCopy;
    std::recursive_mutex FLock;
};

// A canvas over a device context someone else owns (e.g. a 32-bit store).
class TDCCanvas : public TCanvas {
public:
    TDCCanvas(gdi::HDC dc, TRect clip) : FClip(clip) { SetHandle(std::move(dc)); }
    TRect ClipRect() const override { return FClip; }

private:
    TRect FClip;
};
