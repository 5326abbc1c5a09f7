#pragma once
// The four extension kinds of a GIF file.

#include "pictures/gif/gif_byte_reader.h"
#include "pictures/gif/gif_types.h"

namespace gif {

// Reads one extension; the reader stands after its "!" introducer. Raises
// GIFException "Unknown extension type" for a label other than plain text,
// graphic control, comment or application.
TGIFExtension ReadExtension(TByteReader& reader);

}  // namespace gif
