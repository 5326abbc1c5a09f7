#pragma once
// A picture's width and height read from its header alone, before anything
// is decoded: the batch reserves memory by it. Nothing when the header is not
// one of the known kinds or cannot be read; the decoder then has the last
// word on the file.

#include <cstdint>
#include <optional>
#include <string>

struct TPictureSize {
    int64_t Width = 0;
    int64_t Height = 0;
};

std::optional<TPictureSize> ProbePictureSize(const std::string& fileName);
