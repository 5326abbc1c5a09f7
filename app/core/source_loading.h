#pragma once
// The road of a picture without its dialog: the picture class chosen by the
// file name's extension, the file decoded, handed to the platform bitmap and
// drawn onto the 32-bit bitmap. The window shows the result and counts its
// colours; the palette tool prints the count.

#include <memory>
#include <string>

#include "app/core/phases.h"
#include "pictures/bitmap.h"
#include "pictures/graphic.h"
#include "pixels/bitmap32.h"

inline constexpr const char* UnsupportedFormatMessage = "Error: Unsupported format";
// Shown (not raised) when the decoded picture has no pixels.
inline constexpr const char* EmptyPictureMessage = "Error: Empty or unrecognized image";

// The text from the last "." to the end, with "A".."Z" lower-cased; empty
// when a folder separator ("/", "\" or ":") follows that ".".
std::string LowerCaseExtension(const std::string& fileName);

// A new, empty picture of the class for a lower-cased extension: ".bmp",
// ".tif", ".tiff", ".jpg", ".jpeg", ".png", ".gif". Raises Exception
// UnsupportedFormatMessage for any other (and for a reader not built in).
std::unique_ptr<TGraphic> NewPictureForExtension(const std::string& lowerCaseExtension);

enum class TLoadOutcome { Loaded, EmptyPicture };

// Decodes the file into decodedBitmap and then bmp32 (draw mode dmBlend).
// EmptyPicture: the picture has a width or height of 0 and nothing changed
// (the caller shows EmptyPictureMessage). Failures are exceptions: the
// extension's, the file's ("Cannot open file ..."), the reader's; one raised
// before the conversions leaves both bitmaps as they were.
TLoadOutcome LoadSourcePicture(const std::string& fileName, TBitmap& decodedBitmap, TBitmap32& bmp32,
                               const TPhaseObserver& onPhase = {});

// The same road for a caller that keeps only bmp32: a picture that can write
// its final pixels itself writes them straight into bmp32, with neither the
// decoded bitmap nor a copy of the pixels on the way. The pixels, the
// outcome and every failure's message are those of LoadSourcePicture; a
// failure may leave bmp32 changed.
TLoadOutcome LoadSourcePixels(const std::string& fileName, TBitmap32& bmp32, const TPhaseObserver& onPhase = {});
