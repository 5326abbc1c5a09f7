#pragma once
// Turns the inflated image data into unfiltered rows, in file order: top to
// bottom, or pass by pass for Adam7.

#include <cstdint>
#include <functional>

#include "pictures/png/png_image_data_stream.h"
#include "pictures/png/png_row_convert.h"

struct TPngRowLayout {
    uint8_t ColorType = 0;
    uint8_t BitDepth = 8;
    int64_t Width = 0;
    int64_t Height = 0;
    bool Adam7 = false;
};

// Receives each row once it is unfiltered: its bytes, the picture row it
// belongs to and where its pixels go within that row.
using TPngRowSink = std::function<void(const uint8_t* row, int64_t y, const TPngRowPlacement& placement)>;

// Reads rows until the picture is complete or the data end. A row that gets
// only part of its bytes is still delivered, the rest of its buffer holding
// older bytes; once a row gets nothing, no further row is delivered and the
// rest of the picture stays as it was. Returns the number of rows delivered.
int64_t DecodePngRows(TPngImageDataStream& data, const TPngRowLayout& layout, const TPngRowSink& sink);
