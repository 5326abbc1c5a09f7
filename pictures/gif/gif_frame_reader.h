#pragma once
// One frame of a GIF file: its extensions, image descriptor, local colour
// table and LZW-coded pixels.

#include "pictures/gif/gif_byte_reader.h"
#include "pictures/gif/gif_types.h"

namespace gif {

// Reads the colour table announced by packed fields (size in bits 0-2).
TGIFColorTable ReadColorTable(TByteReader& reader, uint8_t packedFields);

// Reads one frame; the reader stands on its first "!" or ",". `data` gives
// the logical screen, which grows to fit the frame. Only when `keepPixels`
// are the decoded pixels kept; otherwise they are decoded and checked but
// not stored.
TGIFFrame ReadFrame(TByteReader& reader, TGIFData& data, bool keepPixels);

}  // namespace gif
