#include "pictures/bitmap.h"
#include "pictures/bmp_read_header.h"
#include "pictures/bmp_read_image.h"

void TBitmap::LoadFromStream(TStream& stream) {
    FreeContext();
    const int64_t size = stream.Size() - stream.Position();
    if (size <= 0) {
        SetImage(std::make_shared<TBitmapImage>());
        FPaletteModified = false;
        Changed();
        return;
    }
    gdi::SetLastError(gdi::ERROR_SUCCESS);
    const BmpHeaders headers = ReadBmpHeaders(stream, size);
    std::shared_ptr<TBitmapImage> image = ReadBmpImage(headers);

    // The image is still ours alone, so its pixels can change in place.
    const gdi::DibSection& description = image->FDIB;
    if (description.BitsPixel == 32 && description.Bits && FAlphaFormat == afDefined)
        PremultiplyPixels(static_cast<uint8_t*>(description.Bits),
                          static_cast<size_t>(int64_t{description.WidthBytes} * description.Height / 4));
    const bool hasPalette = image->FPalette != nullptr;
    SetImage(std::move(image));
    FPaletteModified = hasPalette;
    Changed();
}
