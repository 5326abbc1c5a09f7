#pragma once
// Data sub-blocks: a length byte (1 to 255) and that many bytes, ended by a
// zero-length sub-block.

#include <string>
#include <vector>

#include "pictures/gif/gif_byte_reader.h"
#include "pictures/gif/lzw_decoder.h"

namespace gif {

// Image data for the LZW decoder. The data run out at the zero-length
// sub-block or at the end of the file; a sub-block cut short by the end of
// the file counts with the bytes that are there.
class TSubBlockInput : public TLzwInput {
public:
    explicit TSubBlockInput(TByteReader& reader) : FReader(reader) {}
    std::span<const uint8_t> NextBytes() override;
    // Skips what is left, up to and including the zero-length sub-block.
    void SkipRest();

private:
    TByteReader& FReader;
    uint8_t FBlock[255] = {};
    bool FFinished = false;
};

// The sub-blocks of an extension up to the zero-length one, each as read.
// Raises GIFException "Premature end of data" when the file ends first.
std::vector<std::string> ReadSubBlocks(TByteReader& reader);
// Reads one sub-block into `data`; false at the zero-length one. Raises
// GIFException "Premature end of data" when the file ends inside it.
bool ReadSubBlock(TByteReader& reader, std::string& data);

}  // namespace gif
