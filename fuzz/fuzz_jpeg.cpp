// Feeds arbitrary bytes to TJPEGImage along the whole picture road.
#include <cstddef>
#include <cstdint>

#include "fuzz/picture_road.h"
#include "pictures/jpeg/jpeg_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TJPEGImage picture;
    RunPictureRoad(picture, data, size);
    return 0;
}
