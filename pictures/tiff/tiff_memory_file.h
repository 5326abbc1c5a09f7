#pragma once
// A TIFF file opened by libtiff over bytes in memory (read only), with its
// messages collected instead of printed.

#include <span>
#include <string>
#include <vector>

#include <tiffio.h>

namespace imaging {

class TiffMemoryFile {
public:
    // Opens the file; Handle() is null when libtiff refuses it.
    explicit TiffMemoryFile(std::span<const uint8_t> bytes);
    ~TiffMemoryFile();
    TiffMemoryFile(const TiffMemoryFile&) = delete;
    TiffMemoryFile& operator=(const TiffMemoryFile&) = delete;

    TIFF* Handle() const { return FTiff; }
    std::span<const uint8_t> Bytes() const { return FBytes; }
    uint64_t Position() const { return FPosition; }
    void SetPosition(uint64_t position) { FPosition = position; }
    // libtiff's warnings and errors so far (the first few).
    const std::vector<std::string>& Messages() const { return FMessages; }
    void AddMessage(std::string message);

private:
    std::span<const uint8_t> FBytes;
    uint64_t FPosition = 0;
    std::vector<std::string> FMessages;
    TIFF* FTiff = nullptr;
};

}  // namespace imaging
