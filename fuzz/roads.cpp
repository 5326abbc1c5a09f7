#include "fuzz/roads.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "base/exception.h"
#include "base/stream.h"
#include "fuzz/memory_io_handler.h"
#include "net/http/http.h"
#include "pictures/bitmap.h"
#include "pictures/gdi/gdi.h"
#include "pictures/gif/gif_image.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/png/png_image.h"
#include "pictures/tiff/wic_image.h"
#include "pixels/bitmap32.h"

namespace {

constexpr int PictureRoadLimitLog2 = 24;

// With the instrumentation on top, converting a picture costs about 250 ns a
// pixel, so a tiny file declaring a legal four-million-pixel frame takes a
// second. Past this size the picture roads stop after loading; loading
// itself must stay cheap for any size.
constexpr int64_t MaxConvertedPixels = int64_t{1} << 20;

// The palette tool's road over the same input: a picture that writes its
// opaque pixels itself (while loading, or afterwards) must write what the
// window's road gave. `expected` is null when that road refused the input
// or stopped short of converting it.
void RunPixelsOnlyRoad(TGraphic& picture, const uint8_t* data, size_t size, const TBitmap32* expected) {
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    std::vector<uint32_t> pixels;
    const auto target = [&] {
        const int64_t count = int64_t{picture.Width()} * picture.Height();
        if (count > MaxConvertedPixels) throw Exception("Beyond the pixels the fuzz road converts");
        pixels.assign(size_t(count), 0);
        return pixels.data();
    };
    try {
        picture.OfferOpaqueTarget(target);
        picture.LoadFromStream(stream);
        if (picture.Width() <= 0 || picture.Height() <= 0 || !picture.WriteOpaquePixels(target)) return;
    } catch (const Exception&) {
        // Where the window's road converted the picture, this one must too.
        if (expected) std::abort();
        return;
    }
    if (expected && !std::equal(pixels.begin(), pixels.end(), expected->Bits())) std::abort();
}

void RunPictureRoad(TGraphic& picture, const uint8_t* data, size_t size) {
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TBitmap decodedBitmap;
    TBitmap32 bmp32;
    bool converted = false;
    try {
        picture.LoadFromStream(stream);
        const int64_t pixels = int64_t{picture.Width()} * picture.Height();
        if (picture.Width() > 0 && picture.Height() > 0 && pixels <= MaxConvertedPixels) {
            decodedBitmap.Assign(&picture);
            bmp32.Assign(&decodedBitmap);
            converted = true;
        }
    } catch (const Exception&) {
        // A clean refusal with a message: what bad input must get.
    }
    RunPixelsOnlyRoad(*picture.NewInstance(), data, size, converted ? &bmp32 : nullptr);
}

template <class TPicture>
void PictureRoad(const uint8_t* data, size_t size) {
    TPicture picture;
    RunPictureRoad(picture, data, size);
}

bool StartsWith(const uint8_t* data, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(data, signature, length) == 0;
}

std::unique_ptr<TGraphic> PictureForSignature(const uint8_t* data, size_t size) {
    if (StartsWith(data, size, "BM", 2)) return std::make_unique<TBitmap>();
    if (StartsWith(data, size, "\x89PNG", 4)) return std::make_unique<TPngImage>();
    if (StartsWith(data, size, "\xFF\xD8", 2)) return std::make_unique<TJPEGImage>();
    if (StartsWith(data, size, "GIF8", 4)) return std::make_unique<TGIFImage>();
    if (StartsWith(data, size, "II", 2) || StartsWith(data, size, "MM", 2)) return std::make_unique<TWICImage>();
    return nullptr;
}

// The reader is chosen by the file's signature, so that every suite's files
// are seeds as they are; every bitmap is refused (PrepareFuzzRoad), so
// loading ends after the headers, at the first pixel block.
void HeadersRoad(const uint8_t* data, size_t size) {
    const std::unique_ptr<TGraphic> picture = PictureForSignature(data, size);
    if (!picture) return;
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    try {
        picture->LoadFromStream(stream);
    } catch (const Exception&) {}
}

// The first byte picks how many bytes each receive hands over, so that lines
// and chunks also arrive split at every place. Two requests: the second
// reuses a kept connection or reads what follows as a fresh answer.
void HttpRoad(const uint8_t* data, size_t size) {
    if (size == 0) return;
    const size_t chunkSize = data[0] == 0 ? 65536 : data[0];
    TIdHTTP http;
    http.SetIOHandler(std::make_shared<TMemoryIOHandler>(data + 1, size - 1, chunkSize));
    for (int request = 0; request < 2; ++request) {
        try {
            http.Get("http://example.test/Softwares/Version.txt");
        } catch (const Exception&) {}
    }
}

struct TNamedRoad {
    const char* Name;
    TFuzzRoad Road;
};

constexpr TNamedRoad Roads[] = {
    {"bmp", PictureRoad<TBitmap>},   {"png", PictureRoad<TPngImage>},  {"jpeg", PictureRoad<TJPEGImage>},
    {"gif", PictureRoad<TGIFImage>}, {"tiff", PictureRoad<TWICImage>}, {"http", HttpRoad},
    {"headers", HeadersRoad},
};

}  // namespace

TFuzzRoad FuzzRoad(const std::string& target) {
    for (const TNamedRoad& road : Roads)
        if (target == road.Name) return road.Road;
    return nullptr;
}

const std::vector<std::string>& FuzzTargets() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const TNamedRoad& road : Roads) list.push_back(road.Name);
        return list;
    }();
    return names;
}

void PrepareFuzzRoad(const std::string& target) {
    const bool headers = target == "headers";
    gdi::SetPixelLimitLog2(headers ? gdi::FullPixelLimitLog2 : PictureRoadLimitLog2);
    gdi::SetAllocationCeiling(headers ? 1 : 0);  // nothing above a single pixel
}
