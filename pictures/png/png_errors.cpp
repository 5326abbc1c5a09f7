#include "pictures/png/png_errors.h"

namespace {

const char* ZlibResultText(int result) {
    switch (result) {
    case -6: return "incompatible version (-6)";
    case -5: return "buffer error (-5)";
    case -4: return "insufficient memory (-4)";
    case -3: return "data error (-3)";
    case -2: return "stream error (-2)";
    case -1: return "file error (-1)";
    default: return nullptr;
    }
}

}  // namespace

void RaiseZlibError(int zlibResult) {
    const char* text = ZlibResultText(zlibResult);
    // zlib has no other negative results today; a future one still names its number.
    const std::string description = text ? std::string(text) : Format("unknown error (%d)", zlibResult);
    throw EPNGZLIBError(png_messages::ZLIBErrorPrefix + description);
}
