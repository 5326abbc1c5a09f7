#pragma once
// The variable-length LZW decoding of GIF image data, least significant bit
// first. Kept apart from the file's blocks so that it can be fed code
// streams directly.
//
// Rules beyond the format's own text, which files in the wild rely on:
// - decoding begins as if a clear code had just been read, so data without a
//   leading clear code decode the same as with one;
// - the code after a clear code is a pixel value whatever it is;
// - a code at or beyond the next free code decodes as the previous string
//   followed by its first value (the format allows only the next free code);
// - running out of data before the picture is full is not an error.
// Table entries are never wiped by a clear code; entries a malformed stream
// reaches before defining them read as zeros, which keeps every lookup
// inside the table. Expansion goes through a stack of 8192 values, so a
// table that loops (only a malformed stream builds one) ends in an error.

#include <cstddef>
#include <cstdint>
#include <span>

namespace gif {

// Where the code bytes come from: the data sub-blocks of a file, or a plain
// block of bytes.
class TLzwInput {
public:
    virtual ~TLzwInput() = default;
    // The next run of code bytes; an empty span once the data have run out.
    virtual std::span<const uint8_t> NextBytes() = 0;
};

// Where the values go: width × height bytes, rows from the top, filled in
// row order or, when interlaced, in the four passes (every 8th row from row
// 0, every 8th from row 4, every 4th from row 2, every 2nd from row 1).
// Without pixels the values are decoded and counted but not kept.
struct TLzwTarget {
    uint8_t* Pixels = nullptr;
    uint32_t Width = 0;
    uint32_t Height = 0;
    bool Interlaced = false;
};

enum class TLzwStop {
    Complete,   // every pixel stored
    EndCode,    // the end code came first
    OutOfData,  // the input ran out first
};

constexpr int MaxMinimumCodeSize = 12;

// Decodes codes of minimum code size `minimumCodeSize` (0 to 12) into
// `target`. Pixels that decoding does not reach are left as they were. Each
// value is stored as its low 8 bits. Raises GIFException "Invalid GIF data"
// when an expansion would overflow the stack and "Circular decoder table
// entry" for an entry that is its own prefix.
TLzwStop DecodeLzw(int minimumCodeSize, TLzwInput& input, const TLzwTarget& target);

}  // namespace gif
