#pragma once
// The one place that includes libjpeg. Its headers use FILE and size_t without
// including what declares them, and a build of the library may lack its own
// C-linkage guard.

#include <cstddef>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

// Error codes reach the user as numbers, so they must be the 6b numbering.
static_assert(JPEG_LIB_VERSION == 62, "libjpeg with the version 6b programming interface is required");
