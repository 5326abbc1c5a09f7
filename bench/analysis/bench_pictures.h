#pragma once
// The two benchmark pictures as 32-bit pixels: read from
// $TW_BENCH_PICTURES/photo.bmp and few.bmp when present (made by
// make_pictures.sh), otherwise drawn in memory the same way in spirit: a
// smooth field with noise (very many colours) and that field reduced to 256
// colours.

#include <cstdint>
#include <vector>

struct TBenchPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

const TBenchPicture& PhotoPicture();
const TBenchPicture& FewColoursPicture();
