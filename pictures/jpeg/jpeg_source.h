#pragma once
// libjpeg's input from the memory copy of a file, handed over in portions.
// Past the end of the data libjpeg gets a warning (ignored) and an
// end-of-image marker, so a truncated file decodes to its end with whatever
// libjpeg reconstructs for the missing part.

#include <cstddef>
#include <cstdint>

#include "pictures/jpeg/jpeg_library.h"

constexpr size_t JPEGSourcePortion = 4096;

// `Library` must stay the first member, since libjpeg sees only that part.
struct TJPEGSource {
    jpeg_source_mgr Library;
    const uint8_t* Data;
    size_t Size;
    size_t Position;  // first byte not yet handed to libjpeg
    size_t Portion;
};

// Makes `source` libjpeg's input: `size` bytes at `data`, at most `portion`
// bytes at a time (at least 1). The data must outlive the decompression.
void AttachJPEGSource(j_decompress_ptr cinfo, TJPEGSource& source, const uint8_t* data, size_t size,
                      size_t portion = JPEGSourcePortion);
