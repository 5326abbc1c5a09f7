#include "pictures/gif/gif_sub_blocks.h"

#include "pictures/gif/gif_errors.h"

namespace gif {

std::span<const uint8_t> TSubBlockInput::NextBytes() {
    if (FFinished) return {};
    int length = FReader.ReadByte();
    if (length <= 0) {
        FFinished = true;
        return {};
    }
    size_t got = FReader.Read(FBlock, static_cast<size_t>(length));
    if (got < static_cast<size_t>(length)) FFinished = true;
    return {FBlock, got};
}

void TSubBlockInput::SkipRest() {
    while (!FFinished) {
        int length = FReader.ReadByte();
        if (length <= 0 || FReader.Skip(static_cast<size_t>(length)) < static_cast<size_t>(length)) {
            FFinished = true;
        }
    }
}

bool ReadSubBlock(TByteReader& reader, std::string& data) {
    int length = reader.ReadByte();
    if (length < 0) throw GIFException(PrematureEnd);
    data.resize(static_cast<size_t>(length));
    reader.ReadExact(data.data(), data.size());
    return length > 0;
}

std::vector<std::string> ReadSubBlocks(TByteReader& reader) {
    std::vector<std::string> blocks;
    std::string block;
    while (ReadSubBlock(reader, block)) blocks.push_back(block);
    return blocks;
}

}  // namespace gif
