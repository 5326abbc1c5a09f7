#include "pictures/tiff/wic_image.h"

#include <algorithm>
#include <span>

namespace {

constexpr int64_t CopyBlockSize = 1 << 20;

[[noreturn]] void InvalidImage(uint32_t code) { throw EInvalidGraphic(Format("Invalid image (0x%.8X)", code)); }

TWICImageFormat ImageFormatOf(imaging::ContainerFormat format) {
    switch (format) {
    case imaging::ContainerFormat::Bmp: return wifBmp;
    case imaging::ContainerFormat::Png: return wifPng;
    case imaging::ContainerFormat::Jpeg: return wifJpeg;
    case imaging::ContainerFormat::Gif: return wifGif;
    case imaging::ContainerFormat::Tiff: return wifTiff;
    case imaging::ContainerFormat::Other: break;
    }
    return wifOther;
}

// Every byte from the stream's position to its end, copied in blocks of 1 MiB.
void CopyRest(TStream& source, TMemoryStream& target) {
    const int64_t size = std::max<int64_t>(0, source.Size() - source.Position());
    target.Clear();
    target.Data().resize(static_cast<size_t>(size));
    for (int64_t done = 0; done < size;) {
        const int64_t block = std::min(CopyBlockSize, size - done);
        source.ReadBuffer(target.Data().data() + done, static_cast<size_t>(block));
        done += block;
    }
    target.SetPosition(0);
}

}  // namespace

TWICImage::TWICImage() : FImagingFactory(imaging::SharedImagingFactory()) {}

TWICImage::~TWICImage() = default;

void TWICImage::LoadFromStream(TStream& stream) {
    FBitmap.reset();
    FWicBitmap.reset();
    FWidth = FHeight = FFrameCount = 0;
    CopyRest(stream, FData);
    const std::span<const uint8_t> bytes(FData.Data());
    try {
        std::unique_ptr<imaging::Decoder> decoder = FImagingFactory->CreateDecoderFromMemory(bytes);
        FFrameCount = decoder->FrameCount();
        if (FFrameIndex < 0 || FFrameIndex >= FFrameCount)
            throw EInvalidOperation(Format("Invalid image frame index %d: there are %d frames (0-%d)", FFrameIndex,
                                           FFrameCount, FFrameCount - 1));
        FImageFormat = ImageFormatOf(decoder->Container());
        imaging::Frame frame = decoder->DecodeFrame(FFrameIndex);
        FWidth = frame.Width;
        FHeight = frame.Height;
        FWicBitmap = std::move(frame);
    } catch (const imaging::EImagingError& error) {
        InvalidImage(error.Code());
    } catch (const std::bad_alloc&) {
        InvalidImage(imaging::E_OUTOFMEMORY);
    }
    Changed();
}

TBitmap& TWICImage::Bitmap() const {
    if (FBitmap) return *FBitmap;
    if (!FWicBitmap) throw EInvalidGraphicOperation("Invalid image");
    const imaging::Frame& frame = *FWicBitmap;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(frame.Width, frame.Height);
    gdi::BitmapInfo info;
    info.Header.biWidth = frame.Width;
    info.Header.biHeight = -frame.Height;  // rows top-down
    info.Header.biBitCount = 32;
    info.Header.biCompression = gdi::BI_RGB;
    const int rows = gdi::SetDIBits(bitmap->Handle(), 0, frame.Height, frame.Pixels.data(), info);
    if (rows != frame.Height) RaiseOutOfResources();
    bitmap->SetAlphaFormat(afDefined);  // premultiplies the straight alpha
    FBitmap = std::move(bitmap);
    return *FBitmap;
}

void TWICImage::AssignTo(TGraphic& dest) const {
    auto* bitmap = dynamic_cast<TBitmap*>(&dest);
    if (!bitmap) {
        TGraphic::AssignTo(dest);
        return;
    }
    bitmap->Assign(&Bitmap());
}

void TWICImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty()) return;
    Bitmap().Draw(canvas, rect);
}

void TWICImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a decoded image"); }

void TWICImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a decoded image"); }
