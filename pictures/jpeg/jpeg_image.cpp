#include "pictures/jpeg/jpeg_image.h"

#include "pictures/jpeg/jpeg_context.h"
#include "pictures/jpeg/jpeg_decode.h"

TJPEGDefaults JPEGDefaults;

namespace {

TJPEGDecodeSettings SettingsOf(bool grayscale, TJPEGPixelFormat pixelFormat, TJPEGPerformance performance,
                               TJPEGScale scale, bool smoothing) {
    TJPEGDecodeSettings settings;
    settings.Grayscale = grayscale;
    settings.Indexed = pixelFormat == jf8Bit;
    settings.BestSpeed = performance == jpBestSpeed;
    settings.ScaleShift = static_cast<int>(scale);
    settings.Smoothing = smoothing;
    return settings;
}

// The memory copy of the rest of a stream. Compressed data beyond the
// graphics layer's pixel-block limit cannot be a picture we could hold.
std::vector<uint8_t> ReadRest(TStream& stream) {
    int64_t count = stream.Size() - stream.Position();
    if (count <= 0) {
        return {};
    }
    if (count > gdi::MaxPixelBytes()) {
        throw EOutOfMemory("Out of memory");
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    stream.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace

TJPEGImage::TJPEGImage()
    : FImage(std::make_shared<TJPEGData>()),
      FGrayscale(JPEGDefaults.Grayscale),
      FPixelFormat(JPEGDefaults.PixelFormat),
      FPerformance(JPEGDefaults.Performance),
      FScale(JPEGDefaults.Scale),
      FSmoothing(JPEGDefaults.Smoothing) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(const TGraphic* source) {
    const auto* jpeg = As<TJPEGImage>(source);
    if (jpeg == nullptr) {
        TGraphic::Assign(source);
        return;
    }
    if (jpeg == this) {
        return;
    }
    FImage = jpeg->FImage;
    FBitmap.reset();
    if (jpeg->FBitmap) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(jpeg->FBitmap.get());
    }
    // The copied bitmap was decoded with the source's settings.
    FGrayscale = jpeg->FGrayscale;
    FPixelFormat = jpeg->FPixelFormat;
    FPerformance = jpeg->FPerformance;
    FScale = jpeg->FScale;
    FSmoothing = jpeg->FSmoothing;
    FProgressiveEncoding = jpeg->FProgressiveEncoding;
    FNeedRecalc = true;
    FPaletteModified = true;
    Changed();
}

void TJPEGImage::AssignTo(TGraphic& dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
        bitmap->Assign(&Bitmap());
        return;
    }
    TGraphic::AssignTo(dest);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    // A failed load leaves an empty picture, never the previous one.
    FreeBitmap();
    FImage = std::make_shared<TJPEGData>();
    FProgressiveEncoding = false;
    auto data = std::make_shared<TJPEGData>();
    data->FData = ReadRest(stream);
    if (!data->FData.empty()) {
        TJPEGContext context(data->FData.data(), data->FData.size());
        TJPEGHeader header = context.ReadHeader();
        data->FWidth = header.Width;
        data->FHeight = header.Height;
        data->FGrayscale = header.Grayscale;
        FProgressiveEncoding = header.Progressive;
    }
    FImage = std::move(data);
    FPaletteModified = true;
    Changed();
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) {
    Bitmap();
    FBitmap->Draw(canvas, rect);
}

bool TJPEGImage::Empty() const { return FImage->FData.empty() && (!FBitmap || FBitmap->Empty()); }

int TJPEGImage::Width() const {
    if (FBitmap) {
        return FBitmap->Width();
    }
    if (FScale == jsFullSize) {
        return FImage->FWidth;
    }
    CalcScaledSize();
    return FScaledWidth;
}

int TJPEGImage::Height() const {
    if (FBitmap) {
        return FBitmap->Height();
    }
    if (FScale == jsFullSize) {
        return FImage->FHeight;
    }
    CalcScaledSize();
    return FScaledHeight;
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

const TBitmap& TJPEGImage::Bitmap() const {
    if (!FBitmap) {
        Decode();
    }
    return *FBitmap;
}

void TJPEGImage::Decode() const {
    const std::vector<uint8_t>& data = FImage->FData;
    if (data.empty()) {
        FBitmap = std::make_unique<TBitmap>();
        return;
    }
    if (FDecodeFailure) std::rethrow_exception(FDecodeFailure);
    try {
        FBitmap = DecodeJPEGToBitmap(data.data(), data.size(),
                                     SettingsOf(FGrayscale, FPixelFormat, FPerformance, FScale, FSmoothing));
    } catch (...) {
        FDecodeFailure = std::current_exception();
        throw;
    }
}

bool TJPEGImage::WriteOpaquePixels(const std::function<uint32_t*()>& target) {
    const std::vector<uint8_t>& data = FImage->FData;
    if (FBitmap || FDecodeFailure || data.empty()) return false;
    return DecodeJPEGToOpaquePixels(data.data(), data.size(),
                                    SettingsOf(FGrayscale, FPixelFormat, FPerformance, FScale, FSmoothing), target);
}

void TJPEGImage::CalcScaledSize() const {
    if (!FNeedRecalc) {
        return;
    }
    FScaledWidth = 0;
    FScaledHeight = 0;
    const std::vector<uint8_t>& data = FImage->FData;
    if (!data.empty()) {
        TJPEGContext context(data.data(), data.size());
        TJPEGOutput output = context.Configure(SettingsOf(FGrayscale, FPixelFormat, FPerformance, FScale, FSmoothing));
        FScaledWidth = output.Width;
        FScaledHeight = output.Height;
    }
    FNeedRecalc = false;
}

void TJPEGImage::FreeBitmap() {
    FBitmap.reset();
    FDecodeFailure = nullptr;
    FNeedRecalc = true;
}

void TJPEGImage::SetGrayscale(bool value) {
    if (value != FGrayscale) {
        FGrayscale = value;
        FreeBitmap();
        Changed();
    }
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat value) {
    if (value != FPixelFormat) {
        FPixelFormat = value;
        FreeBitmap();
        Changed();
    }
}

void TJPEGImage::SetPerformance(TJPEGPerformance value) {
    if (value != FPerformance) {
        FPerformance = value;
        FreeBitmap();
        Changed();
    }
}

void TJPEGImage::SetScale(TJPEGScale value) {
    if (value != FScale) {
        FScale = value;
        FreeBitmap();
        Changed();
    }
}

void TJPEGImage::SetSmoothing(bool value) {
    if (value != FSmoothing) {
        FSmoothing = value;
        FreeBitmap();
        Changed();
    }
}
