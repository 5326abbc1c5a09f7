#include "gdi_test_support.h"

#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support {

gdi::BitmapInfo Describe(int width, int height, int bitCount, std::vector<gdi::RGBQUAD> colors, uint32_t compression) {
    gdi::BitmapInfo info;
    info.Header.biWidth = width;
    info.Header.biHeight = height;
    info.Header.biBitCount = static_cast<uint16_t>(bitCount);
    info.Header.biCompression = compression;
    info.Colors = std::move(colors);
    return info;
}

Dib MakeDib(const gdi::BitmapInfo& info) {
    Dib dib;
    void* bits = nullptr;
    dib.Handle = gdi::CreateDIBSection(info, &bits);
    EXPECT_TRUE(dib.Handle) << "error " << gdi::GetLastError();
    dib.Bits = static_cast<uint8_t*>(bits);
    dib.RowBytes = static_cast<int>(gdi::DibRowBytes(info.Header.biWidth, info.Header.biBitCount));
    dib.DC = gdi::CreateCompatibleDC();
    gdi::SelectObject(dib.DC, dib.Handle);
    return dib;
}

std::vector<uint32_t> ReadAll(const gdi::HBITMAP& bitmap) {
    const int width = gdi::BitmapWidth(bitmap), height = gdi::BitmapHeight(bitmap);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    EXPECT_EQ(gdi::GetDIBits(bitmap, 0, height, pixels.data(), Describe(width, -height, 32)), height);
    return pixels;
}

BmpFile LoadBmp(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    EXPECT_FALSE(bytes.empty()) << path;
    auto u32 = [&](size_t at) {
        uint32_t value = 0;
        std::memcpy(&value, bytes.data() + at, 4);
        return value;
    };
    BmpFile file;
    if (bytes.size() < 54) {
        ADD_FAILURE() << path << " too short";
        return file;
    }
    std::memcpy(&file.Info.Header, bytes.data() + 14, sizeof(gdi::BITMAPINFOHEADER));
    file.Info.Header.biSize = 40;
    size_t table = 14 + u32(14);
    if (file.Info.Header.biCompression == gdi::BI_BITFIELDS) {
        std::memcpy(file.Info.Masks, bytes.data() + 54, 12);
        if (u32(14) == 40) table += 12;
    }
    if (file.Info.Header.biBitCount <= 8) {
        size_t count =
            file.Info.Header.biClrUsed ? file.Info.Header.biClrUsed : size_t{1} << file.Info.Header.biBitCount;
        file.Info.Colors.resize(count);
        std::memcpy(file.Info.Colors.data(), bytes.data() + table, count * 4);
    }
    file.Pixels.assign(bytes.begin() + u32(10), bytes.end());
    return file;
}

}  // namespace testing_support
