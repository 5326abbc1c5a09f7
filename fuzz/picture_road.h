#pragma once
// The road the program takes with a picture file, from the bytes on: the
// picture loads itself, hands its pixels to the platform bitmap, and that
// bitmap is drawn onto the 32-bit bitmap. Failures of our own exception
// classes are the expected end of a bad input; anything else escapes and
// counts as a finding.

#include <cstddef>
#include <cstdint>

#include "pictures/graphic.h"

void RunPictureRoad(TGraphic& picture, const uint8_t* data, size_t size);
