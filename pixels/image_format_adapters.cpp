#include "pixels/image_format_adapters.h"

#include "base/scope_guard.h"
#include "pictures/bitmap.h"
#include "pictures/picture.h"
#include "pixels/bitmap32.h"
#include "pixels/conversions.h"

void RegisterStandardImageFormats(TImageFormatManager& manager) {
    // The order of registration and the priorities together give the list
    // order; among equal priorities the later registration comes first.
    manager.RegisterImageFormat(std::make_shared<TImageFormatAdapterBMP>(), -2000);
    manager.RegisterImageFormat(std::make_shared<TImageFormatAdapterPNG32>(), -1000);
    manager.RegisterImageFormat(std::make_shared<TImageFormatAdapterTClipboard>(), 0);
    manager.RegisterImageFormat(std::make_shared<TCustomImageFormatAdapterTGraphic>(), 1000);
    manager.RegisterImageFormat(std::make_shared<TImageFormatAdapterTBitmap>(), 0);
    manager.RegisterImageFormat(std::make_shared<TDecliningFileAdapter>("TImageFormatAdapterTWICImage", "TIFF Images",
                                                                        std::vector<std::string>{"tif", "tiff"}),
                                0);
    manager.RegisterImageFormat(std::make_shared<TDecliningFileAdapter>("TImageFormatAdapterTMetaFile", "Metafiles",
                                                                        std::vector<std::string>{"wmf", "emf"}),
                                0);
    manager.RegisterImageFormat(
        std::make_shared<TDecliningFileAdapter>("TImageFormatAdapterTIcon", "Icons", std::vector<std::string>{"ico"}),
        0);
    manager.RegisterImageFormat(std::make_shared<TImageFormatAdapterTPicture>(), 0);
    manager.RegisterImageFormat(std::make_shared<TImageFormatReaderTPicture>(), 2000);
}

// ---- Any TGraphic ------------------------------------------------------------

bool TCustomImageFormatAdapterTGraphic::CanAssignFrom(const TAssignSource& source) const {
    return source.Graphic && IsGraphicClass(*source.Graphic);
}

bool TCustomImageFormatAdapterTGraphic::AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) {
    if (!CanAssignFrom(source)) return false;
    AssignFromGraphicPlain(dest, source.Graphic, clWhite32, true);
    return true;
}

bool TCustomImageFormatAdapterTGraphic::CanAssignTo(const TAssignTarget& dest) const {
    return !ServesEveryGraphic() && dest.Graphic && IsGraphicClass(*dest.Graphic);
}

bool TCustomImageFormatAdapterTGraphic::AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) {
    if (!dest.Graphic || !IsGraphicClass(*dest.Graphic)) return false;
    TBitmap intermediate;
    source.AssignTo(intermediate);
    dest.Graphic->Assign(&intermediate);
    return true;
}

// ---- TBitmap -----------------------------------------------------------------

bool TImageFormatAdapterTBitmap::IsGraphicClass(const TGraphic& graphic) const {
    return As<TBitmap>(&graphic) != nullptr;
}

namespace {

// Pixels whose colour is the transparent one keep their colour and get alpha 0.
void ClearAlphaOfColor(TCustomBitmap32& bitmap, TColor32 color) {
    TColor32* pixel = bitmap.Bits();
    TColor32* const end = pixel + size_t(bitmap.Width()) * size_t(bitmap.Height());
    for (; pixel != end; ++pixel)
        if ((*pixel & 0x00FFFFFF) == color) *pixel &= 0x00FFFFFF;
}

// Copies the store into the bitmap through its canvas, announcing the change
// the way the canvas's own drawing does (so a shared image is copied first).
void CopyStoreToCanvas(const IDeviceContextSupport& store, TCanvas& canvas) {
    canvas.Lock();
    const ScopeExit unlock([&canvas] { canvas.Unlock(); });
    if (canvas.OnChanging) canvas.OnChanging();
    if (!store.DrawTo(canvas.Handle(), 0, 0)) RaiseOutOfResources();
    if (canvas.OnChanged) canvas.OnChanged();
}

}  // namespace

bool TImageFormatAdapterTBitmap::AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) {
    const TBitmap* bitmap = As<TBitmap>(source.Graphic);
    if (!bitmap) return false;
    // Over transparent black, so pixels a mask leaves out stay $00000000 and a
    // premultiplied 32-bit picture blends onto it unchanged. A bitmap drawn
    // neither through a mask nor by blending is a plain copy of every pixel.
    const bool plainCopy = !bitmap->Transparent() && bitmap->AlphaFormat() == afIgnored;
    AssignFromGraphicPlain(dest, bitmap, clTransparent32, bitmap->PixelFormat() != pf32bit,
                           plainCopy ? TDrawCoverage::Whole : TDrawCoverage::Partial);
    if (dest.Empty()) return true;
    if (bitmap->Transparent()) ClearAlphaOfColor(dest, Color32(bitmap->TransparentColor()) & 0x00FFFFFF);
    if (auto* font = dest.BackendSupport<IFontSupport>())
        font->SetFont(const_cast<TBitmap*>(bitmap)->Canvas().Font());  // makes the picture's canvas, as drawing does
    return true;
}

bool TImageFormatAdapterTBitmap::AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) {
    auto* bitmap = dynamic_cast<TBitmap*>(dest.Graphic);
    if (!bitmap) return false;
    const auto* store = source.BackendSupport<IDeviceContextSupport>();
    if (!store) {
        // A store no device context holds: go through a platform store.
        TBitmap32 platformCopy;
        platformCopy.Assign(&source);
        return AssignTo(platformCopy, dest);
    }
    bitmap->SetSize(0, 0);
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(source.Width(), source.Height());
    if (const auto* font = source.BackendSupport<IFontSupport>()) bitmap->Canvas().Font() = font->Font();
    if (!source.Empty()) CopyStoreToCanvas(*store, bitmap->Canvas());
    return true;
}

// ---- TPicture ----------------------------------------------------------------

bool TImageFormatAdapterTPicture::CanAssignFrom(const TAssignSource& source) const {
    return source.Picture && source.Picture->Graphic() &&
           ImageFormatManager().CanAssignFrom(TAssignSource{source.Picture->Graphic(), nullptr});
}

bool TImageFormatAdapterTPicture::AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) {
    if (!source.Picture || !source.Picture->Graphic()) return false;
    return ImageFormatManager().AssignFrom(dest, TAssignSource{source.Picture->Graphic(), nullptr});
}

bool TImageFormatAdapterTPicture::CanAssignTo(const TAssignTarget& dest) const { return dest.Picture != nullptr; }

bool TImageFormatAdapterTPicture::AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) {
    if (!dest.Picture) return false;
    if (TGraphic* graphic = dest.Picture->Graphic();
        graphic && ImageFormatManager().AssignTo(source, TAssignTarget{graphic, nullptr}))
        return true;
    return ImageFormatManager().AssignTo(source, TAssignTarget{&dest.Picture->Bitmap(), nullptr});
}

// ---- BMP -----------------------------------------------------------------------

void TImageFormatAdapterBMP::SaveToStream(const TCustomBitmap32& bitmap, TStream& stream) {
    bitmap.SaveToStream(stream, false);
}
