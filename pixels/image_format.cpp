#include "pixels/image_format.h"

#include <algorithm>

#include "pictures/picture.h"
#include "pixels/image_format_adapters.h"

const char* TAssignSource::ClassName() const {
    if (Graphic) return Graphic->ClassName();
    if (Picture) return Picture->ClassName();
    return "nil";
}

const char* TAssignTarget::ClassName() const {
    if (Graphic) return Graphic->ClassName();
    if (Picture) return Picture->ClassName();
    return "nil";
}

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameFileType(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace

int TImageFormatManager::RegisterImageFormat(std::shared_ptr<IImageFormat> imageFormat, int priority) {
    const auto position = std::lower_bound(FFormats.begin(), FFormats.end(), priority,
                                           [](const TImageFormatItem& item, int p) { return item.Priority < p; });
    const int handle = ++FImageFormatHandle;
    FFormats.insert(position, TImageFormatItem{priority, std::move(imageFormat), handle});
    return handle;
}

bool TImageFormatManager::UnregisterImageFormat(int handle) {
    const auto found = std::find_if(FFormats.begin(), FFormats.end(),
                                    [handle](const TImageFormatItem& item) { return item.Handle == handle; });
    if (found == FFormats.end()) return false;
    FFormats.erase(found);
    return true;
}

IImageFormatWriter* TImageFormatManager::FindWriter(std::string_view fileType) const {
    for (const TImageFormatItem& item : FFormats) {
        auto* writer = dynamic_cast<IImageFormatWriter*>(item.ImageFormat.get());
        auto* fileInfo = dynamic_cast<IImageFormatFileInfo*>(item.ImageFormat.get());
        if (!writer || !fileInfo) continue;
        for (const std::string& type : fileInfo->ImageFormatFileTypes())
            if (SameFileType(type, fileType)) return writer;
    }
    return nullptr;
}

namespace {

// Calls `ask` on each adapter in list order until one answers true.
template <class Ask>
bool FirstAdapter(const std::vector<TImageFormatItem>& formats, Ask ask) {
    for (const TImageFormatItem& item : formats)
        if (auto* adapter = dynamic_cast<IImageFormatAdapter*>(item.ImageFormat.get()); adapter && ask(*adapter))
            return true;
    return false;
}

}  // namespace

bool TImageFormatManager::CanAssignFrom(const TAssignSource& source) const {
    return FirstAdapter(FFormats, [&](IImageFormatAdapter& a) { return a.CanAssignFrom(source); });
}

bool TImageFormatManager::AssignFrom(TCustomBitmap32& dest, const TAssignSource& source) const {
    return FirstAdapter(FFormats, [&](IImageFormatAdapter& a) { return a.AssignFrom(dest, source); });
}

bool TImageFormatManager::CanAssignTo(const TAssignTarget& dest) const {
    return FirstAdapter(FFormats, [&](IImageFormatAdapter& a) { return a.CanAssignTo(dest); });
}

bool TImageFormatManager::AssignTo(const TCustomBitmap32& source, const TAssignTarget& dest) const {
    return FirstAdapter(FFormats, [&](IImageFormatAdapter& a) { return a.AssignTo(source, dest); });
}

TImageFormatManager& ImageFormatManager() {
    static TImageFormatManager manager;
    static const bool registered = (RegisterStandardImageFormats(manager), true);
    (void)registered;
    return manager;
}
