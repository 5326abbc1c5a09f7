#pragma once
// The headers of a BMP file, read and checked before any pixel is touched:
// file header, information header (OS/2 core or Windows of any declared
// length), colour masks and colour table. What comes out says exactly where
// the pixels are and how many bytes of them to read.

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/stream.h"
#include "pictures/gdi/gdi.h"

static_assert(std::endian::native == std::endian::little, "BMP fields are read in place, little-endian");

#pragma pack(push, 1)
struct BmpFileHeader {
    uint16_t Type = 0;  // "BM"
    uint32_t FileSize = 0;
    uint16_t Reserved1 = 0;
    uint16_t Reserved2 = 0;
    uint32_t PixelOffset = 0;  // from the start of the file header
};
struct BmpCoreHeader {  // OS/2 1.x, after its 4-byte size
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
};
#pragma pack(pop)
static_assert(sizeof(BmpFileHeader) == 14);
static_assert(sizeof(BmpCoreHeader) == 8);

constexpr uint16_t BmpSignature = 0x4D42;  // "BM"
constexpr uint32_t BmpCoreHeaderSize = 12;
// Largest colour table a file may carry: 256 entries of 4 bytes.
constexpr int64_t BmpMaxColorTableBytes = 1024;

struct BmpHeaders {
    BmpFileHeader File;
    gdi::BitmapInfo Info;                  // Colors holds the table only for 8 or fewer bits
    std::vector<gdi::RGBQUAD> ColorTable;  // as read, widened for OS/2
    uint32_t HeaderSize = 0;               // as declared in the file
    bool OS2 = false;
    // Copy of the whole file for compressions other than BI_RGB/BI_BITFIELDS,
    // so the device-dependent image can be made again from it.
    std::shared_ptr<TMemoryStream> SaveStream;
    // Where the pixels are read from (the caller's stream or SaveStream),
    // positioned at the first pixel byte.
    TStream* PixelSource = nullptr;
    // Pixel bytes to read: the smaller of the described image size and what
    // the file still holds. Never negative.
    int64_t BytesToRead = 0;
};

// Reads the headers of a BMP file from the stream's position, `size` bytes
// of which belong to the file. Raises EReadError "Stream read error" on a
// short read, EInvalidGraphic "Bitmap image is not valid" for a wrong
// signature, planes other than 1 or a colour table above 1024 bytes.
BmpHeaders ReadBmpHeaders(TStream& stream, int64_t size);
