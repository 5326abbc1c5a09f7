// Feeds arbitrary bytes to TGIFImage along the whole picture road.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_road.h"
#include "pictures/gif/gif_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TGIFImage picture;
    RunPictureRoad(picture, data, size);
    return 0;
}
