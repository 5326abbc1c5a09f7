// Feeds arbitrary bytes to TWICImage along the whole picture road.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_road.h"
#include "pictures/tiff/wic_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TWICImage picture;
    RunPictureRoad(picture, data, size);
    return 0;
}
