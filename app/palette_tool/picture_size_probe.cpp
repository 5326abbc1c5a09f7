#include "app/palette_tool/picture_size_probe.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

using TFile = std::unique_ptr<FILE, int (*)(FILE*)>;
using TSize = std::optional<TPictureSize>;

uint32_t Big16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t Big32(const uint8_t* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const uint8_t* p) { return uint32_t(p[1]) << 8 | p[0]; }
uint32_t Little32(const uint8_t* p) { return Little16(p + 2) << 16 | Little16(p); }

bool ReadAt(FILE* file, long offset, uint8_t* out, size_t size) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(out, 1, size, file) == size;
}

TSize Known(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return std::nullopt;
    return TPictureSize{width, height};
}

TSize BmpSize(const uint8_t* head) {
    const uint32_t infoSize = Little32(head + 14);
    if (infoSize != 12 && infoSize != 16 && (infoSize < 40 || infoSize > 124)) return std::nullopt;
    if (infoSize == 12) return Known(Little16(head + 18), Little16(head + 20));
    const int32_t height = static_cast<int32_t>(Little32(head + 22));
    return Known(static_cast<int32_t>(Little32(head + 18)), height < 0 ? -int64_t{height} : height);
}

// Walks the markers up to the first start of frame.
TSize JpegSize(FILE* file) {
    long offset = 2;
    for (int segment = 0; segment < 4096; ++segment) {
        uint8_t marker[4];
        if (!ReadAt(file, offset, marker, 4) || marker[0] != 0xFF) return std::nullopt;
        const uint8_t code = marker[1];
        if (code == 0xFF) {  // fill byte
            ++offset;
            continue;
        }
        const bool startOfFrame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (startOfFrame) {
            uint8_t frame[5];
            if (!ReadAt(file, offset + 4, frame, 5)) return std::nullopt;
            return Known(Big16(frame + 3), Big16(frame + 1));
        }
        offset += 2 + static_cast<long>(Big16(marker + 2));
    }
    return std::nullopt;
}

// The first directory's ImageWidth (256) and ImageLength (257).
TSize TiffSize(FILE* file, bool little) {
    const auto u16 = [little](const uint8_t* p) { return little ? Little16(p) : Big16(p); };
    const auto u32 = [little](const uint8_t* p) { return little ? Little32(p) : Big32(p); };
    uint8_t header[8];
    if (!ReadAt(file, 0, header, 8) || u16(header + 2) != 42) return std::nullopt;
    const long directory = static_cast<long>(u32(header + 4));
    uint8_t count[2];
    if (!ReadAt(file, directory, count, 2)) return std::nullopt;
    int64_t width = 0, height = 0;
    for (uint32_t i = 0; i < u16(count) && i < 1024; ++i) {
        uint8_t entry[12];
        if (!ReadAt(file, directory + 2 + 12 * static_cast<long>(i), entry, 12)) return std::nullopt;
        const uint32_t tag = u16(entry);
        const uint32_t value = u16(entry + 2) == 3 ? u16(entry + 8) : u32(entry + 8);
        if (tag == 256) width = value;
        if (tag == 257) height = value;
    }
    return Known(width, height);
}

}  // namespace

std::optional<TPictureSize> ProbePictureSize(const std::string& fileName) {
    TFile file(std::fopen(fileName.c_str(), "rbe"), &std::fclose);
    if (!file) return std::nullopt;
    std::array<uint8_t, 32> head{};
    if (std::fread(head.data(), 1, head.size(), file.get()) < 26) return std::nullopt;
    const uint8_t* h = head.data();
    if (std::memcmp(h, "\x89PNG\r\n\x1a\n", 8) == 0 && std::memcmp(h + 12, "IHDR", 4) == 0)
        return Known(Big32(h + 16), Big32(h + 20));
    if (std::memcmp(h, "GIF8", 4) == 0) return Known(Little16(h + 6), Little16(h + 8));
    if (h[0] == 'B' && h[1] == 'M') return BmpSize(h);
    if (h[0] == 0xFF && h[1] == 0xD8) return JpegSize(file.get());
    if (std::memcmp(h, "II*\0", 4) == 0) return TiffSize(file.get(), true);
    if (std::memcmp(h, "MM\0*", 4) == 0) return TiffSize(file.get(), false);
    return std::nullopt;
}
