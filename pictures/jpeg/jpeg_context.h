#pragma once
// One libjpeg decompression over the memory copy of a file: reading the
// header, applying a picture's settings, and writing the decoded rows into
// memory the caller provides. Every libjpeg error becomes EJPEG
// "JPEG error #%d" with libjpeg's message code.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pictures/gdi/gdi.h"
#include "pictures/jpeg/jpeg_source.h"

struct TJPEGHeader {
    int Width = 0;
    int Height = 0;
    bool Grayscale = false;    // one component
    bool Progressive = false;  // several scans
};

struct TJPEGDecodeSettings {
    bool Grayscale = false;  // decode colour files to grey
    bool Smoothing = true;   // libjpeg's block smoothing of early progressive scans
    bool Indexed = false;    // quantise colour output to 236 colours
    bool BestSpeed = false;  // fast integer IDCT, one-pass ordered dithering
    int ScaleShift = 0;      // output scale 1 / 2^ScaleShift, 0 to 3
    // Colour output as blue, green, red, 255 (Bgra32) where the library
    // build can deliver it; the colours are the same as in three bytes.
    bool FourBytes = false;
};

enum class TJPEGOutputKind {
    Bgr24,     // blue, green, red
    Bgra32,    // blue, green, red, 255
    Indexed8,  // one index into ColorMap() per pixel
    Cmyk32,    // blue, green, red, 255 after the inverted-ink conversion
    Unsupported,
};

struct TJPEGOutput {
    int Width = 0;
    int Height = 0;
    TJPEGOutputKind Kind = TJPEGOutputKind::Unsupported;
    int BitsPerPixel() const;
};

// Code raised for files whose components we cannot turn into pixels: libjpeg's
// own "unsupported colour conversion".
constexpr int JPEGUnsupportedComponentsCode = JERR_CONVERSION_NOTIMPL;
// Code raised for a file with more scans than any real encoder writes: each
// scan costs a pass over the whole picture, so a small file could otherwise
// keep the decoder busy for minutes.
constexpr int JPEGTooManyScansCode = JERR_BAD_PROGRESSION;
constexpr int JPEGMaxScans = 1000;

// Use one context for one ReadHeader, or for one Configure, Start, ColorMap,
// ReadRows, Finish in that order.
class TJPEGContext {
public:
    // `data` must outlive the context.
    TJPEGContext(const uint8_t* data, size_t size, size_t portion = JPEGSourcePortion);
    ~TJPEGContext();
    TJPEGContext(const TJPEGContext&) = delete;
    TJPEGContext& operator=(const TJPEGContext&) = delete;

    TJPEGHeader ReadHeader();
    // Reads the header, applies the settings over the defaults our decoding
    // is defined by, and computes the output size.
    TJPEGOutput Configure(const TJPEGDecodeSettings& settings);
    // After Configure: refuses what we do not decode (arithmetic coding, code
    // 1; component counts other than 1, 3, 4), then starts decompression.
    // Progressive files are read completely here.
    void Start();
    // After Start, for Indexed8: libjpeg's colour map.
    std::vector<gdi::PALETTEENTRY> ColorMap() const;
    // After Start: every remaining row, row i at firstRow + i × step; each row
    // must have room for rowBytes bytes (checked against the output).
    void ReadRows(uint8_t* firstRow, ptrdiff_t step, size_t rowBytes);
    void Finish();

private:
    struct State;
    std::unique_ptr<State> FState;
};
