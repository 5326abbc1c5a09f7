#pragma once
// Decoding the memory copy of a JPEG file into a new TBitmap: pf24bit
// (blue, green, red) for colour, pf8bit with libjpeg's colour map as palette
// for grey or quantised output, pf32bit (fourth byte 255) for CMYK and YCCK.
// libjpeg writes its rows straight into the bitmap's rows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "pictures/bitmap.h"
#include "pictures/jpeg/jpeg_context.h"

// EJPEG for libjpeg's errors; EOutOfResources, as from a bitmap that cannot
// be created, for a picture above the graphics layer's pixel limit.
std::unique_ptr<TBitmap> DecodeJPEGToBitmap(const uint8_t* data, size_t size, const TJPEGDecodeSettings& settings,
                                            size_t portion = JPEGSourcePortion);

// The same decoding straight into 32-bit pixels (blue, green, red, 255; rows
// of output width, top row first) in the memory `target` gives, for colour
// and CMYK output only: false, before `target` is called, for any other.
bool DecodeJPEGToOpaquePixels(const uint8_t* data, size_t size, TJPEGDecodeSettings settings,
                              const std::function<uint32_t*()>& target);
