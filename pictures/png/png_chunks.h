#pragma once
// The chunk objects of a PNG picture. Every chunk read from a file becomes an
// object of the registered class of its name (IEND, IHDR, IDAT, PLTE, gAMA,
// tRNS, pHYs, tIME, tEXt, zTXt) or a plain TChunk that only keeps its data.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "pictures/gdi/gdi.h"
#include "pictures/png/png_plane.h"

class TPngImage;
class TPngImageDataStream;
struct TPngRowLayout;

class TChunk {
public:
    TChunk(TPngImage& owner, std::string name);
    virtual ~TChunk() = default;
    TChunk& operator=(const TChunk&) = delete;
    // A copy of this chunk belonging to `owner`.
    virtual std::unique_ptr<TChunk> Clone(TPngImage& owner) const;

    const std::string& Name() const { return FName; }
    const std::vector<uint8_t>& Data() const { return FData; }
    uint32_t DataSize() const { return uint32_t(FData.size()); }
    TPngImage& Owner() const { return *FOwner; }

    // Reads the chunk's `size` data bytes and its CRC, checks the CRC over
    // name and data (EPngInvalidCRC; also when the file ends inside the
    // chunk), then lets the class process the data.
    virtual void LoadFromStream(TStream& stream, uint32_t size);

protected:
    TChunk(const TChunk&) = default;
    // The class's own reading of FData, once the CRC has been checked.
    virtual void Process() {}
    template <class T>
    static std::unique_ptr<TChunk> CloneAs(const T& chunk, TPngImage& owner) {
        auto copy = std::unique_ptr<T>(new T(chunk));
        copy->FOwner = &owner;
        return copy;
    }

    std::vector<uint8_t> FData;

private:
    TPngImage* FOwner;
    std::string FName;
};

// The chunk object for a name read from a file.
std::unique_ptr<TChunk> CreateChunk(TPngImage& owner, const std::string& name);
// True for names whose first letter is upper case (bit 5 clear): chunks a
// reader must understand.
bool IsCriticalChunkName(const std::string& name);

struct TIHDRData {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint8_t BitDepth = 0;
    uint8_t ColorType = 0;
    uint8_t CompressionMethod = 0;
    uint8_t FilterMethod = 0;
    uint8_t InterlaceMethod = 0;
};

// The header. The first header chunk of a picture also holds the decoded
// picture: a bottom-up DIB (indices, greys, or blue-green-red), its colour
// table and palette, the alpha plane and the low bytes of 16-bit samples.
class TChunkIHDR : public TChunk {
public:
    explicit TChunkIHDR(TPngImage& owner) : TChunk(owner, "IHDR") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }

    const TIHDRData& IHDRData() const { return FIHDRData; }
    const gdi::BitmapInfo& BitmapInfo() const { return FBitmapInfo; }
    int64_t BytesPerRow() const { return FBytesPerRow; }
    // The DIB's pixel block, bottom-up.
    uint8_t* ImageData() { return FImageData.data(); }
    const uint8_t* ImageData() const { return FImageData.data(); }
    // Picture row y (0 = top) of the DIB and of the low-byte block.
    uint8_t* DibRow(int64_t y) { return FImageData.data() + DibRowOffset(y); }
    const uint8_t* DibRow(int64_t y) const { return FImageData.data() + DibRowOffset(y); }
    uint8_t* ExtraRow(int64_t y) {
        return FExtraImageData.empty() ? nullptr : FExtraImageData.data() + DibRowOffset(y);
    }
    // One byte per pixel, rows top-down; null unless the colour type has alpha.
    uint8_t* AlphaRow(int64_t y);
    const uint8_t* AlphaRow(int64_t y) const;
    // The low bytes of 16-bit samples, laid out as the DIB; null unless depth 16.
    const uint8_t* ExtraImageData() const { return FExtraImageData.empty() ? nullptr : FExtraImageData.data(); }

    // Palette of a picture with a colour table (colour types 0, 3, 4); null
    // for the others.
    const gdi::HPALETTE& ImagePalette() const { return FImagePalette; }
    bool HasPalette() const { return FImagePalette != nullptr; }
    // Makes `entries` the picture's palette and DIB colour table; no effect
    // for colour types 2 and 6.
    void SetPalette(const std::vector<gdi::PALETTEENTRY>& entries);
    // The colours of the file's palette (gamma corrected); empty until a
    // PLTE chunk has been read.
    const std::vector<gdi::PALETTEENTRY>& PlteEntries() const { return FPlteEntries; }
    void SetPlteEntries(std::vector<gdi::PALETTEENTRY> entries);

protected:
    void Process() override;

private:
    // Allocates the planes that a load decoding into a target skipped.
    friend class TChunkIDAT;

    void CheckHeader() const;
    void PrepareImage();
    void DescribeDib(int bitCount);
    // The planes, or none when the load decodes into an offered target.
    void AllocatePlanes();
    int64_t DibRowOffset(int64_t y) const { return (int64_t(FIHDRData.Height) - 1 - y) * FBytesPerRow; }

    TIHDRData FIHDRData;
    gdi::BitmapInfo FBitmapInfo;
    int64_t FBytesPerRow = 0;
    TPngPlane FImageData;
    TPngPlane FImageAlpha;
    TPngPlane FExtraImageData;
    gdi::HPALETTE FImagePalette;
    std::vector<gdi::PALETTEENTRY> FPlteEntries;
};

// The first image-data chunk decodes the whole picture, reading on through
// the image-data chunks that follow it.
class TChunkIDAT : public TChunk {
public:
    explicit TChunkIDAT(TPngImage& owner) : TChunk(owner, "IDAT") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    void LoadFromStream(TStream& stream, uint32_t size) override;

private:
    void DecodeIntoTarget(TPngImageDataStream& data, const TPngRowLayout& layout, const uint8_t* gamma);
};

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TPngImage& owner) : TChunk(owner, "IEND") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
};

class TChunkPLTE : public TChunk {
public:
    explicit TChunkPLTE(TPngImage& owner) : TChunk(owner, "PLTE") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    int Count() const { return FCount; }

protected:
    void Process() override;

private:
    int FCount = 0;
};

class TChunktRNS : public TChunk {
public:
    explicit TChunktRNS(TPngImage& owner) : TChunk(owner, "tRNS") { FPaletteValues.fill(255); }
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    // The chunk's bytes over 256 × 255: palette alphas, or the transparent
    // sample (grey: 2 bytes; RGB: 2 bytes each for red, green and blue).
    const std::array<uint8_t, 256>& PaletteValues() const { return FPaletteValues; }
    bool BitTransparency() const { return FBitTransparency; }

protected:
    void Process() override;

private:
    std::array<uint8_t, 256> FPaletteValues;
    bool FBitTransparency = false;
};

class TChunkgAMA : public TChunk {
public:
    explicit TChunkgAMA(TPngImage& owner) : TChunk(owner, "gAMA") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    // The file's gamma × 100000; 1 when the chunk is not 4 bytes long.
    uint32_t Gamma() const;

protected:
    void Process() override;
};

class TChunkpHYs : public TChunk {
public:
    explicit TChunkpHYs(TPngImage& owner) : TChunk(owner, "pHYs") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    uint32_t PPUnitX() const { return FPPUnitX; }
    uint32_t PPUnitY() const { return FPPUnitY; }
    uint8_t Unit() const { return FUnit; }

protected:
    void Process() override;

private:
    uint32_t FPPUnitX = 0, FPPUnitY = 0;
    uint8_t FUnit = 0;
};

class TChunktIME : public TChunk {
public:
    explicit TChunktIME(TPngImage& owner) : TChunk(owner, "tIME") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    int Year() const { return FYear; }
    int Month() const { return FMonth; }
    int Day() const { return FDay; }
    int Hour() const { return FHour; }
    int Minute() const { return FMinute; }
    int Second() const { return FSecond; }

protected:
    void Process() override;

private:
    int FYear = 0, FMonth = 0, FDay = 0, FHour = 0, FMinute = 0, FSecond = 0;
};

class TChunktEXt : public TChunk {
public:
    explicit TChunktEXt(TPngImage& owner) : TChunktEXt(owner, "tEXt") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }
    const std::string& Keyword() const { return FKeyword; }
    const std::string& Text() const { return FText; }

protected:
    TChunktEXt(TPngImage& owner, std::string name) : TChunk(owner, std::move(name)) {}
    void Process() override;

    std::string FKeyword;
    std::string FText;
};

class TChunkzTXt : public TChunktEXt {
public:
    explicit TChunkzTXt(TPngImage& owner) : TChunktEXt(owner, "zTXt") {}
    std::unique_ptr<TChunk> Clone(TPngImage& owner) const override { return CloneAs(*this, owner); }

protected:
    void Process() override;
};
