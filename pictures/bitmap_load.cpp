// TBitmap reading a BMP file: the reader makes the pixels, the bitmap takes
// them with what the file says of them.

#include <cstdlib>

#include "pictures/bitmap.h"
#include "pictures/bmp/bmp_read_header.h"
#include "pictures/bmp/bmp_read_image.h"

namespace {

// The created bitmap's description, corrected with what the file says: the
// signed height (so a top-down file stays top-down), resolution and colours.
void TakeFileDescription(gdi::BITMAPINFOHEADER& description, const gdi::BITMAPINFOHEADER& file) {
    if (std::abs(int64_t{description.biHeight}) == std::abs(int64_t{file.biHeight}))
        description.biHeight = file.biHeight;
    description.biXPelsPerMeter = file.biXPelsPerMeter;
    description.biYPelsPerMeter = file.biYPelsPerMeter;
    description.biClrUsed = file.biClrUsed;
    description.biClrImportant = file.biClrImportant;
}

std::shared_ptr<TBitmapImage> ReadBmpImage(TStream& stream, int64_t size) {
    const BmpHeaders headers = ReadBmpHeaders(stream, size);
    BmpPixels pixels = ReadBmpPixels(headers);
    std::shared_ptr<TBitmapImage> image;
    if (pixels.IsDib) {
        image = MakeDibImage(pixels.Handle, std::move(pixels.Palette));
    } else {
        image = MakeDeviceImage(pixels.Handle, std::move(pixels.Palette));
        image->FSaveStream = headers.SaveStream;
    }
    TakeFileDescription(image->FDIB.Header, headers.Info.Header);
    image->FOS2Format = headers.OS2;
    return image;
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream) {
    FreeContext();
    const int64_t size = stream.Size() - stream.Position();
    if (size <= 0) {
        SetImage(std::make_shared<TBitmapImage>());
        FPaletteModified = false;
        Changed();
        return;
    }
    std::shared_ptr<TBitmapImage> image = ReadBmpImage(stream, size);

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
