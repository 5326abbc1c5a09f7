#pragma once
// Turns the checked headers of a BMP file into the graphics layer's pixels:
// uncompressed and bit-field pixels are read straight into a DIB section;
// run-length-encoded pixels are expanded by the layer into a device-dependent
// bitmap (whose owner keeps the file's memory copy to make it again).

#include <memory>

#include "base/exception.h"
#include "pictures/bmp/bmp_read_header.h"

// Reads the pixels the headers describe. Raises EReadError "Stream read
// error" on a short read; when the graphics layer refuses the description,
// EOSError "System Error.  Code: %d.\r\n%s%s" with its last error, or
// EInvalidGraphic "Bitmap image is not valid" when it gave no reason.
struct BmpPixels {
    gdi::HBITMAP Handle;
    bool IsDib = true;  // false: a device-dependent bitmap of expanded codes
    gdi::HPALETTE Palette;
};
BmpPixels ReadBmpPixels(const BmpHeaders& headers);
