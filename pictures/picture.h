#pragma once
// The picture container of an image control: holds and owns one graphic.

#include <memory>

#include "pictures/bitmap.h"
#include "pictures/graphic.h"

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    virtual ~TPicture() = default;
    const char* ClassName() const { return "TPicture"; }

    // Makes the held graphic a TBitmap if it is not one, and returns it.
    TBitmap& Bitmap();
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void Assign(const TPicture* source);
    // A copy of the graphic (of the same class) becomes the held graphic;
    // null empties the picture.
    void Assign(const TGraphic* source);

    // Called when the held graphic changes (the image control repaints).
    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};
