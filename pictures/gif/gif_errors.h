#pragma once
// The failures of the GIF reader. Every decoding error is a GIFException
// carrying one of the fixed texts below.

#include "base/exception.h"

TW_DECLARE_EXCEPTION(GIFException, EInvalidGraphic);
// Raised for an application extension whose identifier block is longer than
// the 11 bytes the format defines.

namespace gif {

inline constexpr const char* InvalidSignature = "Invalid GIF signature";
inline constexpr const char* PrematureEnd = "Premature end of data";
inline constexpr const char* UnknownExtension = "Unknown extension type";
inline constexpr const char* BadApplicationBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* AbstractError = "Abstract Error";
inline constexpr const char* InvalidData = "Invalid GIF data";
inline constexpr const char* CircularEntry = "Circular decoder table entry";
inline constexpr const char* InvalidImageSize = "Invalid image size";
inline constexpr const char* NoColorTable = "No global or local color table defined";
inline constexpr const char* OutOfMemory = "Failed to allocate memory for GIF DIB";

}  // namespace gif
