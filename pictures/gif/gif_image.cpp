#include "pictures/gif/gif_image.h"

#include "pictures/canvas.h"
#include "pictures/gif/gif_frame_bitmap.h"
#include "pictures/gif/gif_loader.h"

void TGIFImage::Assign(const TGraphic* source) {
    const auto* gif = As<TGIFImage>(source);
    if (!gif) {
        TGraphic::Assign(source);
        return;
    }
    if (gif == this) return;
    FData = gif->FData;
    FBitmap = gif->FBitmap;
    FBitmapMade = gif->FBitmapMade;
    Changed();
}

void TGIFImage::AssignTo(TGraphic& dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
        bitmap->Assign(Bitmap().get());
        return;
    }
    TGraphic::AssignTo(dest);
}

void TGIFImage::LoadFromStream(TStream& stream) {
    FData = gif::TGIFData{};
    FBitmap.reset();
    FBitmapMade = false;
    FData = gif::LoadGIF(stream);
    Changed();
}

std::shared_ptr<TBitmap> TGIFImage::Bitmap() const {
    if (!FBitmapMade) {
        FBitmap = gif::MakeFirstFrameBitmap(FData);
        FBitmapMade = true;
    }
    return FBitmap;
}

void TGIFImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (std::shared_ptr<TBitmap> bitmap = Bitmap()) bitmap->Draw(canvas, rect);
}

void TGIFImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a GIF image"); }
void TGIFImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a GIF image"); }
