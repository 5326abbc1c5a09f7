#pragma once
// A TIFF file opened by libtiff over bytes in memory (read only), with its
// messages collected instead of printed.

#include <array>
#include <cstdarg>
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
    // libtiff's warnings and errors so far (the first few, each cut to a
    // line of the kept length).
    std::vector<std::string> Messages() const;
    // Called from libtiff's handlers: neither allocates nor throws, since an
    // exception must not pass through libtiff's C frames.
    void AddMessage(const char* module, const char* format, va_list arguments) noexcept;

private:
    static constexpr size_t MaxKeptMessages = 32;
    static constexpr size_t KeptMessageLength = 512;
    std::span<const uint8_t> FBytes;
    uint64_t FPosition = 0;
    std::array<std::array<char, KeptMessageLength>, MaxKeptMessages> FMessages{};
    size_t FMessageCount = 0;
    TIFF* FTiff = nullptr;
};

}  // namespace imaging
