#pragma once
// Turns the checked headers of a BMP file into an image: uncompressed and
// bit-field pixels are read straight into a DIB section; run-length-encoded
// pixels are expanded by the graphics layer into a device-dependent bitmap
// that keeps the file's memory copy.

#include <memory>

#include "base/exception.h"
#include "pictures/bitmap.h"
#include "pictures/bmp_read_header.h"

// Reads the pixels the headers describe. Raises EReadError "Stream read
// error" on a short read; when the graphics layer refuses the description,
// EOSError "System Error.  Code: %d.\r\n%s%s" with its last error, or
// EInvalidGraphic "Bitmap image is not valid" when it gave no reason.
std::shared_ptr<TBitmapImage> ReadBmpImage(const BmpHeaders& headers);
