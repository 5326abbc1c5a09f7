#pragma once
// The distinct colours of a 32-bit bitmap: how many there are (shown after a
// picture is loaded) and the sample that lists each once, in order of first
// occurrence (the start of a palette generation). Colours are whole 32-bit
// values: two pixels that differ only in alpha are two colours.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "pixels/bitmap32.h"

// ---- On plain pixel arrays --------------------------------------------------

// The number of distinct values among pixels[0 .. count - 1].
int64_t CountDistinct(const TColor32* pixels, size_t count);

// Writes each distinct value of pixels[0 .. count - 1] once into out, in order
// of first occurrence, and returns how many it wrote. out has room for count
// values and may not overlap pixels; the values after the returned count are
// left as they were.
size_t CollectFirstOccurrences(const TColor32* pixels, size_t count, TColor32* out);

// ---- On the window's bitmaps ------------------------------------------------

// Shown (not raised) when there is nothing to count.
inline constexpr const char* InvalidBitmap32Message = "Error: Invalid Bitmap32.";
// Shown (not raised) when a palette is asked for without a loaded picture.
inline constexpr const char* InvalidOriginalImageMessage = "\U0001F6A8 Error: Invalid original image!";

// The count of the bitmap's distinct colours; nothing when the bitmap is
// empty or has no store (the caller shows InvalidBitmap32Message).
std::optional<int64_t> CountDistinctColors(const TCustomBitmap32& bmp);

// "Distinct Colors: " and the count, the caption of the count panel.
std::string DistinctColorsCaption(int64_t count);

// Makes `sample` a new bitmap of the source's size whose first N pixels, in
// row order, are the source's N distinct colours in order of first occurrence
// and whose other pixels are 0. Returns N. When the source is empty nothing
// changes and the result is empty (the caller shows
// InvalidOriginalImageMessage).
std::optional<int64_t> CreateSampleColorImage(const TCustomBitmap32& source, std::unique_ptr<TBitmap32>& sample);
