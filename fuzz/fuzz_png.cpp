// Feeds arbitrary bytes to TPngImage along the whole picture road.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_road.h"
#include "pictures/png/png_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPngImage picture;
    RunPictureRoad(picture, data, size);
    return 0;
}
