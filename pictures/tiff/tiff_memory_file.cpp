#include "pictures/tiff/tiff_memory_file.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "pictures/gdi/gdi.h"

namespace imaging {
namespace {

TiffMemoryFile& FileOf(thandle_t handle) { return *static_cast<TiffMemoryFile*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    TiffMemoryFile& file = FileOf(handle);
    const uint64_t length = file.Bytes().size();
    if (size <= 0 || file.Position() >= length) return 0;
    const uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(size), length - file.Position());
    std::memcpy(buffer, file.Bytes().data() + file.Position(), count);
    file.SetPosition(file.Position() + count);
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    TiffMemoryFile& file = FileOf(handle);
    int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<int64_t>(file.Position());
    if (whence == SEEK_END) base = static_cast<int64_t>(file.Bytes().size());
    // libtiff passes negative relative offsets in two's complement.
    const auto delta = static_cast<int64_t>(offset);
    if ((delta < 0 && base + delta < 0) || (delta > 0 && delta > INT64_MAX - base)) return static_cast<toff_t>(-1);
    file.SetPosition(static_cast<uint64_t>(base + delta));
    return file.Position();
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return FileOf(handle).Bytes().size(); }
int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

int CollectMessage(TIFF*, void* userData, const char* module, const char* format, va_list arguments) {
    FileOf(userData).AddMessage(module, format, arguments);
    return 1;  // handled: libtiff prints nothing
}

// Messages libtiff raises where no file is at hand would go to its global
// handlers, which print to the terminal; this library is libtiff's only user
// in the program, so those are switched off once.
void SilenceGlobalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

}  // namespace

TiffMemoryFile::TiffMemoryFile(std::span<const uint8_t> bytes) : FBytes(bytes) {
    SilenceGlobalHandlers();
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return;
    // No single allocation of libtiff's may exceed what a bitmap may hold.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, gdi::MaxPixelBytes());
    TIFFOpenOptionsSetErrorHandlerExtR(options, CollectMessage, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, CollectMessage, this);
    // "m": never map; libtiff reads through ReadProc only.
    FTiff = TIFFClientOpenExt("memory", "rm", this, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                              UnmapProc, options);
    TIFFOpenOptionsFree(options);
}

TiffMemoryFile::~TiffMemoryFile() {
    if (FTiff) TIFFClose(FTiff);
}

void TiffMemoryFile::AddMessage(const char* module, const char* format, va_list arguments) noexcept {
    if (FMessageCount == MaxKeptMessages) return;
    std::array<char, KeptMessageLength>& line = FMessages[FMessageCount++];
    int used = 0;
    if (module) used = std::max(0, std::snprintf(line.data(), line.size(), "%s: ", module));
    if (static_cast<size_t>(used) < line.size())
        std::vsnprintf(line.data() + used, line.size() - static_cast<size_t>(used), format, arguments);
}

std::vector<std::string> TiffMemoryFile::Messages() const {
    std::vector<std::string> messages;
    for (size_t i = 0; i < FMessageCount; ++i) messages.emplace_back(FMessages[i].data());
    return messages;
}

}  // namespace imaging
