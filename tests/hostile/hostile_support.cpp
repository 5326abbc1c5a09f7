#include "tests/hostile/hostile_support.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "base/exception.h"
#include "base/stream.h"
#include "pictures/bitmap.h"
#include "pixels/bitmap32.h"

TRoadOutcome RunRoad(TGraphic& picture, const TByteString& bytes) {
    TMemoryStream stream(bytes);
    TBitmap decodedBitmap;
    TBitmap32 bmp32;
    try {
        picture.LoadFromStream(stream);
        if (picture.Width() > 0 && picture.Height() > 0) {
            decodedBitmap.Assign(&picture);
            bmp32.Assign(&decodedBitmap);
        }
    } catch (const Exception& error) {
        return {false, error.ClassName(), error.what()};
    }
    return {true, {}, {}};
}

namespace {

int64_t MaxResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t{usage.ru_maxrss} * 1024;
}

}  // namespace

int64_t PeakMemoryRise(const std::function<void()>& work) {
    int channel[2];
    if (pipe(channel) != 0) throw std::runtime_error("pipe");
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        int64_t rise = -1;
        try {
            const int64_t before = MaxResidentBytes();
            work();
            rise = MaxResidentBytes() - before;
        } catch (...) {}
        const ssize_t written = write(channel[1], &rise, sizeof rise);
        _exit(written == sizeof rise ? 0 : 1);
    }
    close(channel[1]);
    int64_t rise = -1;
    const ssize_t received = read(channel[0], &rise, sizeof rise);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the measured work crashed";
    EXPECT_EQ(received, ssize_t(sizeof rise));
    EXPECT_GE(rise, 0) << "the measured work raised an exception";
    return rise;
}

TByteString ReadTestImage(const std::string& relativePath) {
    std::ifstream file(std::string(TW_TESTIMAGES_DIR) + "/" + relativePath, std::ios::binary);
    if (!file) throw std::runtime_error("missing test image " + relativePath);
    return TByteString(std::istreambuf_iterator<char>(file), {});
}

TByteString PngChunk(const char* type, const TByteString& data) {
    TByteString chunk;
    PutBE32(chunk, uint32_t(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uLong crc = crc32(0, chunk.data() + 4, uInt(chunk.size() - 4));
    PutBE32(chunk, uint32_t(crc));
    return chunk;
}

TByteString PngFile(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, const TByteString& chunks) {
    TByteString file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    TByteString header;
    PutBE32(header, width);
    PutBE32(header, height);
    header.insert(header.end(), {bitDepth, colorType, 0, 0, 0});
    const TByteString ihdr = PngChunk("IHDR", header);
    const TByteString iend = PngChunk("IEND", {});
    file.insert(file.end(), ihdr.begin(), ihdr.end());
    file.insert(file.end(), chunks.begin(), chunks.end());
    file.insert(file.end(), iend.begin(), iend.end());
    return file;
}

TByteString Deflate(const TByteString& raw) {
    uLongf size = compressBound(uLong(raw.size()));
    TByteString packed(size);
    if (compress2(packed.data(), &size, raw.data(), uLong(raw.size()), 9) != Z_OK) throw std::runtime_error("zlib");
    packed.resize(size);
    return packed;
}

TByteString GifHeader(uint16_t screenWidth, uint16_t screenHeight) {
    TByteString file = {'G', 'I', 'F', '8', '9', 'a'};
    PutLE16(file, screenWidth);
    PutLE16(file, screenHeight);
    file.insert(file.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255});  // two-colour global table
    return file;
}

// A plain LZW coder as the format wants it: codes grow from
// minimumCodeSize + 1 bits to 12, a clear code first and whenever the table
// is full, least significant bit first, in sub-blocks of at most 255 bytes.
TByteString GifLzw(const TByteString& indices, int minimumCodeSize) {
    const int clearCode = 1 << minimumCodeSize;
    std::map<std::pair<int, uint8_t>, int> table;
    int nextCode = clearCode + 2;
    int codeSize = minimumCodeSize + 1;
    TByteString packed;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    auto emit = [&](int code) {
        bitBuffer |= uint32_t(code) << bitCount;
        bitCount += codeSize;
        for (; bitCount >= 8; bitCount -= 8, bitBuffer >>= 8) packed.push_back(uint8_t(bitBuffer));
    };
    emit(clearCode);
    int prefix = -1;
    for (uint8_t index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        const auto found = table.find({prefix, index});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        emit(prefix);
        if (nextCode == 4096) {
            emit(clearCode);
            table.clear();
            nextCode = clearCode + 2;
            codeSize = minimumCodeSize + 1;
        } else {
            table[{prefix, index}] = nextCode++;
            if (nextCode > (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        prefix = index;
    }
    if (prefix >= 0) emit(prefix);
    emit(clearCode + 1);
    if (bitCount > 0) packed.push_back(uint8_t(bitBuffer));
    TByteString framed = {uint8_t(minimumCodeSize)};
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t count = std::min<size_t>(255, packed.size() - at);
        framed.push_back(uint8_t(count));
        framed.insert(framed.end(), packed.begin() + at, packed.begin() + at + count);
    }
    framed.push_back(0);
    return framed;
}

TByteString GifFrame(uint16_t width, uint16_t height) {
    TByteString frame = {0x2C, 0, 0, 0, 0};
    PutLE16(frame, width);
    PutLE16(frame, height);
    frame.push_back(0);
    const TByteString lzw = GifLzw(TByteString(size_t{width} * height, 0), 2);
    frame.insert(frame.end(), lzw.begin(), lzw.end());
    return frame;
}

TByteString BmpFile(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                    const TByteString& colorTable, const TByteString& bits) {
    const uint32_t offset = 14 + 40 + uint32_t(colorTable.size());
    TByteString file = {'B', 'M'};
    PutLE32(file, offset + uint32_t(bits.size()));
    PutLE32(file, 0);
    PutLE32(file, offset);
    PutLE32(file, 40);
    PutLE32(file, uint32_t(width));
    PutLE32(file, uint32_t(height));
    PutLE16(file, 1);
    PutLE16(file, bitCount);
    PutLE32(file, compression);
    PutLE32(file, uint32_t(bits.size()));
    PutLE32(file, 2835);
    PutLE32(file, 2835);
    PutLE32(file, uint32_t(colorTable.size() / 4));
    PutLE32(file, 0);
    file.insert(file.end(), colorTable.begin(), colorTable.end());
    file.insert(file.end(), bits.begin(), bits.end());
    return file;
}
