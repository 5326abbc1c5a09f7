#include "pictures/png/png_chunks.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_image_data_stream.h"
#include "pictures/png/png_layout.h"
#include "pictures/png/png_palettes.h"
#include "pictures/png/png_row_decoder.h"

void TChunkIDAT::LoadFromStream(TStream& stream, uint32_t size) {
    const TPngImage& owner = Owner();
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
    DecodePngRows(data, layout, [&](const uint8_t* row, int64_t y, const TPngRowPlacement& placement) {
        const TPngRowTarget target{header.DibRow(y), header.ExtraRow(y), header.AlphaRow(y)};
        convert(row, target, placement, gamma);
    });
    data.Finish();
}
