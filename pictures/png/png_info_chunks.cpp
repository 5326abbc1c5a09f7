// pHYs, tIME, tEXt and zTXt: kept for what they say, without effect on the picture.

#include <algorithm>
#include <zlib.h>

#include "pictures/png/png_chunks.h"
#include "pictures/png/png_image_data_stream.h"

namespace {

// Compressed text can claim any size; text beyond this is not inflated and
// the chunk is treated as one whose text could not be inflated.
constexpr size_t MaxInflatedText = size_t(4) << 20;

// Inflates a whole zlib stream; false when it is invalid, incomplete or
// larger than MaxInflatedText.
bool InflateText(const uint8_t* data, size_t size, std::string& text) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    std::string out;
    char portion[16384];
    int result = Z_OK;
    while (result == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(portion);
        z.avail_out = sizeof portion;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(portion, sizeof portion - z.avail_out);
        if (out.size() > MaxInflatedText) result = Z_MEM_ERROR;
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END) return false;
    text = std::move(out);
    return true;
}

}  // namespace

void TChunkpHYs::Process() {
    if (FData.size() != 9) return;
    FPPUnitX = ReadBigEndian32(&FData[0]);
    FPPUnitY = ReadBigEndian32(&FData[4]);
    FUnit = FData[8];
}

void TChunktIME::Process() {
    if (FData.size() != 7) return;
    FYear = FData[0] << 8 | FData[1];
    FMonth = FData[2];
    FDay = FData[3];
    FHour = FData[4];
    FMinute = FData[5];
    FSecond = FData[6];
}

// Keyword, a 0 byte, then the text.
void TChunktEXt::Process() {
    if (FData.size() <= 2) return;
    const auto separator = std::find(FData.begin(), FData.end(), uint8_t{0});
    FKeyword.assign(FData.begin(), separator);
    FText.assign(separator == FData.end() ? separator : separator + 1, FData.end());
}

// Keyword, a 0 byte, the compression method, then the compressed text.
void TChunkzTXt::Process() {
    if (FData.size() <= 3) return;
    const auto separator = std::find(FData.begin(), FData.end(), uint8_t{0});
    FKeyword.assign(FData.begin(), separator);
    FText.clear();
    const size_t start = size_t(separator - FData.begin()) + 2;
    if (start < FData.size() && !InflateText(FData.data() + start, FData.size() - start, FText)) FText.clear();
}
