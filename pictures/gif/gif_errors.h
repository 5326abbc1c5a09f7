#pragma once
// The failures of the GIF reader. Every decoding error is a GIFException
// carrying one of the fixed texts below.

#include "base/exception.h"

TW_DECLARE_EXCEPTION(GIFException, EInvalidGraphic);
// Raised for an application extension whose identifier block is longer than
// the 11 bytes the format defines.

namespace gif {

inline constexpr const char* kInvalidSignature = "Invalid GIF signature";
inline constexpr const char* kPrematureEnd = "Premature end of data";
inline constexpr const char* kUnknownExtension = "Unknown extension type";
inline constexpr const char* kBadApplicationBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* kAbstractError = "Abstract Error";
inline constexpr const char* kInvalidData = "Invalid GIF data";
inline constexpr const char* kCircularEntry = "Circular decoder table entry";
inline constexpr const char* kInvalidImageSize = "Invalid image size";
inline constexpr const char* kNoColorTable = "No global or local color table defined";
inline constexpr const char* kOutOfMemory = "Failed to allocate memory for GIF DIB";

}  // namespace gif
