#include "pictures/tiff/tiff_decoder.h"

#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "pictures/gdi/gdi.h"
#include "pictures/tiff/tiff_cmyk16.h"
#include "pictures/tiff/tiff_memory_file.h"

namespace imaging {
namespace {

// libtiff's RGBA reader premultiplies unassociated alpha on its way out, and
// we would have to divide it out again, losing precision. Declaring the
// stored alpha associated makes libtiff hand the samples over as stored,
// which for these files is straight alpha already. Returns true when done.
bool TakeStoredAlphaAsIs(TIFF* tiff) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0 || !kinds) return false;
    if (kinds[0] != EXTRASAMPLE_UNASSALPHA) return false;
    std::vector<uint16_t> associated(kinds, kinds + count);
    associated[0] = EXTRASAMPLE_ASSOCALPHA;
    return TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, count, associated.data()) == 1;
}

uint8_t Unpremultiply(uint32_t value, uint32_t alpha) {
    const uint32_t straight = (value * 255 + alpha / 2) / alpha;
    return static_cast<uint8_t>(straight > 255 ? 255 : straight);
}

// Turns libtiff's packed pixels (red in the low byte, alpha in the high one)
// into blue, green, red and straight alpha bytes, in place.
void ToStraightBgra(std::vector<uint8_t>& pixels, bool premultiplied) {
    for (size_t offset = 0; offset + 4 <= pixels.size(); offset += 4) {
        uint32_t value;
        std::memcpy(&value, pixels.data() + offset, 4);
        const uint32_t alpha = TIFFGetA(value);
        uint32_t red = TIFFGetR(value), green = TIFFGetG(value), blue = TIFFGetB(value);
        if (premultiplied && alpha == 0) red = green = blue = 0;
        if (premultiplied && alpha != 0 && alpha != 255) {
            red = Unpremultiply(red, alpha);
            green = Unpremultiply(green, alpha);
            blue = Unpremultiply(blue, alpha);
        }
        const uint8_t bgra[4] = {static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red),
                                 static_cast<uint8_t>(alpha)};
        std::memcpy(pixels.data() + offset, bgra, 4);
    }
}

class TiffDecoder : public Decoder {
public:
    explicit TiffDecoder(std::span<const uint8_t> bytes) : FFile(bytes) {
        if (!FFile.Handle()) throw EImagingError(WINCODEC_ERR_BADIMAGE);
        // libtiff stops at a directory chain that loops back on itself.
        const tdir_t count = TIFFNumberOfDirectories(FFile.Handle());
        FFrameCount = count > INT_MAX ? INT_MAX : static_cast<int>(count);
    }

    ContainerFormat Container() const override { return ContainerFormat::Tiff; }
    int FrameCount() const override { return FFrameCount; }
    Frame DecodeFrame(int index) override;

private:
    bool ReadPixels(uint32_t width, uint32_t height, std::vector<uint8_t>& pixels);

    TiffMemoryFile FFile;
    int FFrameCount = 0;
};

// Decodes the current directory with libtiff's RGBA reader, top row first,
// into `pixels` (4 bytes a pixel). Returns whether the alpha came out
// premultiplied.
bool TiffDecoder::ReadPixels(uint32_t width, uint32_t height, std::vector<uint8_t>& pixels) {
    TIFF* tiff = FFile.Handle();
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message)) throw EImagingError(WINCODEC_ERR_BADIMAGE);
    const bool premultiplied = !TakeStoredAlphaAsIs(tiff);
    try {
        pixels.resize(size_t{width} * height * 4);
    } catch (const std::bad_alloc&) {
        throw EImagingError(E_OUTOFMEMORY);
    }
    TIFFRGBAImage image{};
    if (!TIFFRGBAImageBegin(&image, tiff, 1, message)) throw EImagingError(WINCODEC_ERR_BADIMAGE);
    image.req_orientation = ORIENTATION_TOPLEFT;
    // The block is 4-byte aligned (operator new) and only libtiff's C code
    // writes it as 32-bit words; we read it back byte-wise.
    const int ok = TIFFRGBAImageGet(&image, reinterpret_cast<uint32_t*>(pixels.data()), width, height);
    TIFFRGBAImageEnd(&image);
    if (!ok) throw EImagingError(WINCODEC_ERR_BADIMAGE);
    return premultiplied;
}

Frame TiffDecoder::DecodeFrame(int index) {
    if (index < 0 || index >= FFrameCount) throw EImagingError(WINCODEC_ERR_FRAMEMISSING);
    TIFF* tiff = FFile.Handle();
    if (!TIFFSetDirectory(tiff, static_cast<tdir_t>(index))) throw EImagingError(WINCODEC_ERR_BADIMAGE);
    uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) ||
        width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        throw EImagingError(WINCODEC_ERR_BADIMAGE);
    // The frame is held at 4 bytes a pixel: above the bitmap limit it cannot
    // be held, and nothing of that size is allocated.
    if (!gdi::MayAllocatePixels(width, height, 32)) throw EImagingError(E_OUTOFMEMORY);

    Frame frame;
    frame.Width = static_cast<int>(width);
    frame.Height = static_cast<int>(height);
    if (IsCmyk16(tiff)) {
        if (!ReadCmyk16(tiff, width, height, frame.Pixels)) throw EImagingError(WINCODEC_ERR_BADIMAGE);
        return frame;
    }
    const bool premultiplied = ReadPixels(width, height, frame.Pixels);
    ToStraightBgra(frame.Pixels, premultiplied);
    return frame;
}

}  // namespace

std::unique_ptr<Decoder> CreateTiffDecoder(std::span<const uint8_t> bytes) {
    return std::make_unique<TiffDecoder>(bytes);
}

}  // namespace imaging
