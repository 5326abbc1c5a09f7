#include "app/core/imaging_readers.h"

#include <mutex>
#include <new>

#include "base/stream.h"
#include "pictures/bitmap.h"
#include "pictures/gif/gif_image.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/png/png_image.h"
#include "pictures/tiff/imaging.h"

namespace {

using imaging::ContainerFormat;
using imaging::EImagingError;

// The bitmap's pixels as the component's frame: blue, green, red and
// straight alpha, top row first. Pictures without alpha are opaque except
// where a transparent colour cuts them out.
imaging::Frame FrameOf(TBitmap& bitmap) {
    const bool hasAlpha = bitmap.PixelFormat() == pf32bit && bitmap.AlphaFormat() != afIgnored;
    if (hasAlpha) bitmap.SetAlphaFormat(afIgnored);  // un-premultiplies
    imaging::Frame frame{bitmap.Width(), bitmap.Height(), {}};
    frame.Pixels.resize(size_t(frame.Width) * size_t(frame.Height) * 4);
    gdi::BitmapInfo info;
    info.Header.biWidth = frame.Width;
    info.Header.biHeight = -frame.Height;
    info.Header.biBitCount = 32;
    if (gdi::GetDIBits(bitmap.Handle(), 0, frame.Height, frame.Pixels.data(), info) != frame.Height)
        throw EImagingError(imaging::WINCODEC_ERR_BADIMAGE);
    if (hasAlpha) return frame;
    const bool keyed = bitmap.Transparent();
    const TColor key = bitmap.TransparentColor() & 0xFFFFFF;
    for (size_t i = 0; i < frame.Pixels.size(); i += 4) {
        uint8_t* pixel = &frame.Pixels[i];
        const TColor color = pixel[2] | pixel[1] << 8 | pixel[0] << 16;
        pixel[3] = keyed && color == key ? 0 : 255;
    }
    return frame;
}

// One frame, decoded by a picture class when the decoder opens, so that a
// file the reader refuses is refused there as the component does.
template <class TPicture>
class TReaderDecoder : public imaging::Decoder {
public:
    TReaderDecoder(std::span<const uint8_t> bytes, ContainerFormat format) : FFormat(format) {
        try {
            TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
            TPicture picture;
            picture.LoadFromStream(stream);
            if (picture.Width() <= 0 || picture.Height() <= 0) throw EImagingError(imaging::WINCODEC_ERR_BADIMAGE);
            TBitmap bitmap;
            bitmap.Assign(&picture);
            FFrame = FrameOf(bitmap);
        } catch (const EImagingError&) {
            throw;
        } catch (const std::bad_alloc&) {
            throw EImagingError(imaging::E_OUTOFMEMORY);
        } catch (const EOutOfMemory&) {
            throw EImagingError(imaging::E_OUTOFMEMORY);
        } catch (const Exception&) {
            throw EImagingError(imaging::WINCODEC_ERR_BADIMAGE);
        }
    }
    ContainerFormat Container() const override { return FFormat; }
    int FrameCount() const override { return 1; }
    imaging::Frame DecodeFrame(int index) override {
        if (index != 0) throw EImagingError(imaging::WINCODEC_ERR_FRAMEMISSING);
        return FFrame;
    }

private:
    ContainerFormat FFormat;
    imaging::Frame FFrame;
};

template <class TPicture>
imaging::DecoderFactory FactoryOf(ContainerFormat format) {
    return [format](std::span<const uint8_t> bytes) -> std::unique_ptr<imaging::Decoder> {
        return std::make_unique<TReaderDecoder<TPicture>>(bytes, format);
    };
}

}  // namespace

void RegisterOurReaders(imaging::ImagingFactory& factory) {
    factory.RegisterDecoder(ContainerFormat::Png, FactoryOf<TPngImage>(ContainerFormat::Png));
    factory.RegisterDecoder(ContainerFormat::Jpeg, FactoryOf<TJPEGImage>(ContainerFormat::Jpeg));
    factory.RegisterDecoder(ContainerFormat::Gif, FactoryOf<TGIFImage>(ContainerFormat::Gif));
    factory.RegisterDecoder(ContainerFormat::Bmp, FactoryOf<TBitmap>(ContainerFormat::Bmp));
}

void RegisterOurReadersOnce() {
    static std::once_flag registered;
    std::call_once(registered, [] { RegisterOurReaders(*imaging::SharedImagingFactory()); });
}
