// Feeds arbitrary bytes to TBitmap along the whole picture road.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_road.h"
#include "pictures/bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TBitmap picture;
    RunPictureRoad(picture, data, size);
    return 0;
}
