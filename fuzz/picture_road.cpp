#include "fuzz/picture_road.h"

#include <vector>

#include "base/exception.h"
#include "base/stream.h"
#include "pictures/bitmap.h"
#include "pixels/bitmap32.h"

namespace {

// Decoding is bounded by the graphics layer's pixel limit, and the limit
// tests prove that bound in the normal and sanitizer builds. With the
// fuzzer's instrumentation on top, though, converting a picture costs about
// 250 ns a pixel, so a tiny file declaring a legal four-million-pixel frame
// takes a second and would bury real findings under timeouts. Past this size
// the fuzzer stops after loading; loading itself must stay cheap for any size.
constexpr int64_t MaxFuzzedPixels = int64_t{1} << 20;

}  // namespace

void RunPictureRoad(TGraphic& picture, const uint8_t* data, size_t size) {
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TBitmap decodedBitmap;
    TBitmap32 bmp32;
    try {
        picture.LoadFromStream(stream);
        if (picture.Width() <= 0 || picture.Height() <= 0) return;
        if (int64_t{picture.Width()} * picture.Height() > MaxFuzzedPixels) return;
        decodedBitmap.Assign(&picture);
        bmp32.Assign(&decodedBitmap);
    } catch (const Exception&) {
        // A clean refusal with a message: what bad input must get.
    }
}
