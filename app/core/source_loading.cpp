#include "app/core/source_loading.h"

#include "app/core/imaging_readers.h"
#include "base/exception.h"
#include "base/pages_ahead.h"

#include "pictures/png/png_image.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/gif/gif_image.h"
#include "pictures/tiff/wic_image.h"

std::string LowerCaseExtension(const std::string& fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.find_first_of("/\\:", dot) != std::string::npos) return {};
    std::string extension = fileName.substr(dot);
    for (char& character : extension)
        if (character >= 'A' && character <= 'Z') character = static_cast<char>(character - 'A' + 'a');
    return extension;
}

namespace {

template <class TPictureClass>
std::unique_ptr<TGraphic> Make() {
    return std::make_unique<TPictureClass>();
}

// A ".tif" file may hold any format the imaging layer knows by its data.
std::unique_ptr<TGraphic> MakeWICImage() {
    RegisterOurReadersOnce();
    return std::make_unique<TWICImage>();
}

struct TPictureClassRow {
    const char* Extension;
    std::unique_ptr<TGraphic> (*Create)();
};

// Tried in this order.
const TPictureClassRow PictureClasses[] = {
    {".jpg", Make<TJPEGImage>}, {".jpeg", Make<TJPEGImage>}, {".png", Make<TPngImage>}, {".bmp", Make<TBitmap>},
    {".gif", Make<TGIFImage>},  {".tif", MakeWICImage},      {".tiff", MakeWICImage},
};

}  // namespace

std::unique_ptr<TGraphic> NewPictureForExtension(const std::string& lowerCaseExtension) {
    for (const TPictureClassRow& row : PictureClasses)
        if (lowerCaseExtension == row.Extension) return row.Create();
    throw Exception(UnsupportedFormatMessage);
}

namespace {

std::unique_ptr<TGraphic> LoadGraphic(const std::string& fileName, const TPhaseObserver& onPhase) {
    std::unique_ptr<TGraphic> graphic = NewPictureForExtension(LowerCaseExtension(fileName));
    BeginPhase(onPhase, "Decoding");
    graphic->LoadFromFile(fileName);
    return graphic;
}

bool HasPixels(const TGraphic& graphic) { return graphic.Width() > 0 && graphic.Height() > 0; }

void Convert(std::unique_ptr<TGraphic> graphic, TBitmap& decodedBitmap, TBitmap32& bmp32,
             const TPhaseObserver& onPhase) {
    // Some readers decode their pixels only here.
    decodedBitmap.Assign(graphic.get());
    graphic.reset();
    BeginPhase(onPhase, "Converting");
    bmp32.Assign(&decodedBitmap);
}

}  // namespace

TLoadOutcome LoadSourcePicture(const std::string& fileName, TBitmap& decodedBitmap, TBitmap32& bmp32,
                               const TPhaseObserver& onPhase) {
    std::unique_ptr<TGraphic> graphic = LoadGraphic(fileName, onPhase);
    if (!HasPixels(*graphic)) return TLoadOutcome::EmptyPicture;
    Convert(std::move(graphic), decodedBitmap, bmp32, onPhase);
    bmp32.SetDrawMode(dmBlend);
    return TLoadOutcome::Loaded;
}

TLoadOutcome LoadSourcePixels(const std::string& fileName, TBitmap32& bmp32, const TPhaseObserver& onPhase) {
    std::unique_ptr<TGraphic> graphic = NewPictureForExtension(LowerCaseExtension(fileName));
    TPagesAhead ahead;  // stopped before bmp32 could go
    const auto target = [&] {
        bmp32.SetSize(graphic->Width(), graphic->Height());
        const size_t bytes = size_t(bmp32.Width()) * size_t(bmp32.Height()) * sizeof(TColor32);
        ahead = TPagesAhead(bmp32.Bits(), bytes, TPagesAhead::TOrder::Forward);
        return bmp32.Bits();
    };
    // Some pictures decode straight into bmp32 while they load.
    graphic->OfferOpaqueTarget(target);
    BeginPhase(onPhase, "Decoding");
    graphic->LoadFromFile(fileName);
    if (!HasPixels(*graphic)) return TLoadOutcome::EmptyPicture;
    const bool written = graphic->WriteOpaquePixels(target);
    if (written) {
        graphic.reset();
        BeginPhase(onPhase, "Converting");
        bmp32.Changed();
    } else {
        ahead = TPagesAhead();  // the usual road may size bmp32 anew
        TBitmap decoded;
        Convert(std::move(graphic), decoded, bmp32, onPhase);
    }
    bmp32.SetDrawMode(dmBlend);
    return TLoadOutcome::Loaded;
}
