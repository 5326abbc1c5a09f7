#pragma once
// A text file written through a large buffer into a TReplacementFile (see
// base/replacement_file.h), renamed over the target only once complete: a
// failure part-way leaves the previous file as it was and removes the
// temporary one. Every failure raises EInOutError with the message of its
// system error code.

#include <cstddef>
#include <memory>
#include <string>

#include "base/replacement_file.h"

class TTextFileWriter {
public:
    explicit TTextFileWriter(const std::string& fileName);
    TTextFileWriter(const TTextFileWriter&) = delete;
    TTextFileWriter& operator=(const TTextFileWriter&) = delete;

    // Room for at least `size` bytes (at most BufferSize) at the end of the
    // buffer, written out first if needed; Advance(n) keeps n bytes of it.
    char* Room(size_t size) {
        if (BufferSize - FUsed < size) Flush();
        return FBuffer.get() + FUsed;
    }
    void Advance(size_t size) { FUsed += size; }
    void Write(const char* text, size_t size);

    // Writes the rest, closes and renames over the target.
    void Commit();
    // The target's absolute path.
    const std::string& TargetPath() const { return FTarget; }

    static constexpr size_t BufferSize = size_t{1} << 20;

private:
    void Flush();
    void WriteOut(const char* data, size_t size);

    std::string FTarget;
    TReplacementFile FFile;
    std::unique_ptr<char[]> FBuffer;
    size_t FUsed = 0;
};
