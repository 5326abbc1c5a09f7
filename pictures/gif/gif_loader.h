#pragma once
// Reading a whole GIF file into its parts.

#include "base/stream.h"
#include "pictures/gif/gif_types.h"

namespace gif {

// Reads a GIF file from the stream's position. On success the stream stands
// after what was read; on failure it is put back where it was and the
// exception (GIFException, EAbstractError or EOutOfMemory) passes on.
// Only the first frame keeps its pixels.
TGIFData LoadGIF(TStream& stream);

}  // namespace gif
