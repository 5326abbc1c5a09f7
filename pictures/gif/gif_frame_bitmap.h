#pragma once
// The platform bitmap a GIF hands over: its first frame, alone or on the
// logical screen. Later frames never reach it.

#include <memory>

#include "pictures/bitmap.h"
#include "pictures/gif/gif_types.h"

namespace gif {

// The bitmap of frame 0, or null when the file has no frames:
// - a frame that covers the whole screen and is not transparent gives its
//   own 8-bit bitmap;
// - otherwise a device-dependent bitmap of the screen's size: filled with
//   the background colour when the frame is transparent, with the frame
//   drawn at its place, its transparent pixels leaving the fill.
// Raises GIFException "No global or local color table defined" for a frame
// with no colour table, EOutOfMemory "Failed to allocate memory for GIF
// DIB" when a bitmap cannot be had.
std::shared_ptr<TBitmap> MakeFirstFrameBitmap(const TGIFData& data);

}  // namespace gif
