#include "app/preview.h"

#include <sys/stat.h>

#include "app/core/source_loading.h"
#include "ui/image_control.h"

namespace {

// Browsing should stay quick: larger files are not previewed.
constexpr off_t MaxPreviewFileSize = 64 * 1024 * 1024;

}  // namespace

QImage DecodePreview(const std::string& fileName) {
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > MaxPreviewFileSize)
        return QImage();
    // Raises "Error: Unsupported format" for a file no reader takes.
    std::unique_ptr<TGraphic> graphic = NewPictureForExtension(LowerCaseExtension(fileName));
    graphic->LoadFromFile(fileName);
    return GraphicToQImage(*graphic);
}
