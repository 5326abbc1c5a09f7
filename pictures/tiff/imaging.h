#pragma once
// Our stand-in for the platform's imaging component: it takes a picture
// file's bytes from memory, picks a decoder by the data (never by a file
// name) and decodes one frame completely into 32-bit blue, green, red and
// straight alpha, top row first. TIFF is decoded here through libtiff; the
// program's own readers of the other formats plug in through
// ImagingFactory::RegisterDecoder.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "base/exception.h"

namespace imaging {

// Result codes as the imaging component reports them.
constexpr uint32_t E_OUTOFMEMORY = 0x8007000E;
constexpr uint32_t WINCODEC_ERR_COMPONENTNOTFOUND = 0x88982F50;
constexpr uint32_t WINCODEC_ERR_BADIMAGE = 0x88982F60;
constexpr uint32_t WINCODEC_ERR_FRAMEMISSING = 0x88982F62;

// A failure of the component, with its result code.
class EImagingError : public Exception {
public:
    explicit EImagingError(uint32_t code);
    uint32_t Code() const noexcept { return FCode; }
    const char* ClassName() const noexcept override { return "EImagingError"; }

private:
    uint32_t FCode;
};

enum class ContainerFormat { Bmp, Png, Jpeg, Gif, Tiff, Other };

// The container a file's first bytes announce; Other when none is known.
ContainerFormat SniffContainerFormat(std::span<const uint8_t> bytes);

// A decoded frame: Width × Height pixels of 4 bytes (blue, green, red,
// straight alpha; 255 for pictures without alpha), rows top to bottom
// without gaps.
struct Frame {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;
};

// A decoder opened on a file's bytes, which must outlive it.
class Decoder {
public:
    virtual ~Decoder() = default;
    virtual ContainerFormat Container() const = 0;
    virtual int FrameCount() const = 0;
    // Decodes frame `index` completely; raises EImagingError.
    virtual Frame DecodeFrame(int index) = 0;
};

// Opens a decoder on bytes of its format; raises EImagingError when the data
// cannot be read.
using DecoderFactory = std::function<std::unique_ptr<Decoder>(std::span<const uint8_t> bytes)>;

class ImagingFactory {
public:
    ImagingFactory();  // knows TIFF
    // The hook for the program's own readers: data of `format` is handed to
    // `factory` from now on. Returns the decoder it replaces (empty if none),
    // so that it can be put back.
    DecoderFactory RegisterDecoder(ContainerFormat format, DecoderFactory factory);
    // A decoder chosen by the data; WINCODEC_ERR_COMPONENTNOTFOUND when no
    // registered decoder takes it.
    std::unique_ptr<Decoder> CreateDecoderFromMemory(std::span<const uint8_t> bytes) const;

private:
    mutable std::mutex FLock;
    std::vector<std::pair<ContainerFormat, DecoderFactory>> FDecoders;
};

// The one factory shared by every picture, made by the first that asks.
std::shared_ptr<ImagingFactory> SharedImagingFactory();

}  // namespace imaging
