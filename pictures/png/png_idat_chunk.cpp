#include "pictures/png/png_chunks.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_image_data_stream.h"
#include "pictures/png/png_layout.h"
#include "pictures/png/png_palettes.h"
#include "pictures/png/png_row_convert.h"
#include "pictures/png/png_row_decoder.h"

void TChunkIDAT::DecodeIntoTarget(TPngImageDataStream& data, const TPngRowLayout& layout, const uint8_t* gamma) {
    TPngImage& owner = Owner();
    const size_t width = size_t(layout.Width), count = width * size_t(layout.Height);
    uint32_t* const pixels = owner.FOpaqueTarget();
    size_t delivered = 0;
    DecodePngRows(data, layout, [&](const uint8_t* row, int64_t y, const TPngRowPlacement& placement) {
        ConvertColor8To32(row, pixels + size_t(y) * width, placement, gamma);
        delivered += size_t(placement.PixelCount);
    });
    data.Finish();
    // Pixels the data never reached are black, as in a plane of zeros.
    if (delivered < count)
        for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
    owner.FPixelsHandedOver = true;
}

void TChunkIDAT::LoadFromStream(TStream& stream, uint32_t size) {
    TPngImage& owner = Owner();
    TChunkIHDR& header = owner.Header();
    const TIHDRData& ihdr = header.IHDRData();
    const TPngRowConverter convert = PngRowConverter(ihdr.ColorType, ihdr.BitDepth);
    if (!convert) throw EPNGInvalidBitDepth(png_messages::InvalidBitDepth);
    // Grey pictures take their ramp with the gamma known now, over any PLTE.
    if (ihdr.ColorType == ctGrey || ihdr.ColorType == ctGreyAlpha)
        header.SetPalette(GreyRamp(1 << header.BitmapInfo().Header.biBitCount, owner.GammaTable()));

    const bool identity = owner.GammaTable() == IdentityGammaTable();
    const uint8_t* gamma = identity ? nullptr : owner.GammaTable().data();
    TPngImageDataStream data(stream, size);
    const TPngRowLayout layout{ihdr.ColorType, ihdr.BitDepth, ihdr.Width, ihdr.Height, ihdr.InterlaceMethod == 1};
    if (owner.FDecodeIntoTarget && owner.FindChunk<TChunktRNS>()) {
        // A transparent colour: the picture keeps its pixels after all.
        owner.FOpaqueTarget = nullptr;
        header.AllocatePlanes();
    }
    if (owner.FDecodeIntoTarget) {
        DecodeIntoTarget(data, layout, gamma);
        return;
    }
    DecodePngRows(data, layout, [&](const uint8_t* row, int64_t y, const TPngRowPlacement& placement) {
        const TPngRowTarget target{header.DibRow(y), header.ExtraRow(y), header.AlphaRow(y)};
        convert(row, target, placement, gamma);
    });
    data.Finish();
}
