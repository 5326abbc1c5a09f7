#pragma once
// The five row filters of the PNG format, undone in place.

#include <cstddef>
#include <cstdint>

// Undoes `filterType` on `row` (rowBytes bytes, without the filter byte)
// against `previous` (the unfiltered row above, all zeros for a pass's first
// row). `offset` is the distance to the byte of the same sample in the pixel
// to the left (bytes per complete pixel, at least 1); bytes before the first
// complete pixel take 0 for their left and upper-left neighbours.
// Filter types above 4 are taken as 0 (no filter) without error: a tolerance
// of this reader, the format itself knows only 0 to 4.
void UnfilterRow(uint8_t filterType, uint8_t* row, const uint8_t* previous, size_t rowBytes, size_t offset);
