#pragma once
// TIFF decoding for the imaging component, over libtiff reading from memory.
// libtiff's warnings and errors are collected by the decoder, never printed.

#include <memory>
#include <span>

#include "pictures/tiff/imaging.h"

namespace imaging {

// Opens the TIFF held in `bytes` (which must outlive the decoder). Raises
// EImagingError WINCODEC_ERR_BADIMAGE when libtiff cannot read its header or
// first directory.
std::unique_ptr<Decoder> CreateTiffDecoder(std::span<const uint8_t> bytes);

}  // namespace imaging
