#include "app/preview.h"

#include <sys/stat.h>

#include "app/core/source_loading.h"
#include "pictures/jpeg/jpeg_image.h"
#include "ui/image_control.h"
#include "ui/scaled_image.h"

namespace {

// Browsing should stay quick: larger files are not previewed.
constexpr off_t MaxPreviewFileSize = 64 * 1024 * 1024;

// JPEG pictures are decoded at a reduced size where the pane allows: the
// decoder's scaled inverse transform skips most of the work.
void ReduceJpegDecode(TGraphic& graphic, QSize bounds) {
    auto* jpeg = dynamic_cast<TJPEGImage*>(&graphic);
    if (jpeg == nullptr) return;
    jpeg->SetScale(static_cast<TJPEGScale>(PreviewJpegScaleShift(jpeg->Width(), jpeg->Height(), bounds)));
    jpeg->SetPerformance(jpBestSpeed);
}

}  // namespace

int PreviewJpegScaleShift(int width, int height, QSize bounds) {
    const QSize fitted = FitWithin(QSize(width, height), bounds);
    int shift = 0;
    // The reader rounds a reduced side up: ceil(side / 2^shift).
    while (shift < 3) {
        const int next = shift + 1;
        const int reducedWidth = (width + (1 << next) - 1) >> next;
        const int reducedHeight = (height + (1 << next) - 1) >> next;
        if (reducedWidth < fitted.width() || reducedHeight < fitted.height()) break;
        shift = next;
    }
    return shift;
}

QImage DecodePreview(const std::string& fileName, QSize bounds) {
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > MaxPreviewFileSize)
        return QImage();
    // Raises "Error: Unsupported format" for a file no reader takes.
    std::unique_ptr<TGraphic> graphic = NewPictureForExtension(LowerCaseExtension(fileName));
    graphic->LoadFromFile(fileName);
    ReduceJpegDecode(*graphic, bounds);
    QImage image = GraphicToQImage(*graphic);
    graphic.reset();
    const QSize fitted = FitWithin(image.size(), bounds);
    if (image.isNull() || fitted == image.size()) return image;
    return image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
