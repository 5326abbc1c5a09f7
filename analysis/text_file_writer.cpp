#include "analysis/text_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "analysis/in_out_error.h"
#include "base/stream.h"

TTextFileWriter::TTextFileWriter(const std::string& fileName) : FTarget(ExpandFileName(fileName)) {
    if (const int error = FFile.Create(FTarget); error != 0) RaiseInOutError(error);
    FBuffer = std::make_unique_for_overwrite<char[]>(BufferSize);
}

void TTextFileWriter::Write(const char* text, size_t size) {
    while (size > 0) {
        const size_t part = std::min(size, BufferSize);
        std::memcpy(Room(part), text, part);
        Advance(part);
        text += part;
        size -= part;
    }
}

void TTextFileWriter::Flush() {
    const char* data = FBuffer.get();
    size_t remaining = FUsed;
    while (remaining > 0) {
        const ssize_t written = ::write(FFile.Descriptor(), data, remaining);
        if (written < 0) {
            if (errno == EINTR) continue;
            RaiseInOutError(errno);
        }
        data += written;
        remaining -= static_cast<size_t>(written);
    }
    FUsed = 0;
}

void TTextFileWriter::Commit() {
    Flush();
    if (const int error = FFile.Commit(); error != 0) RaiseInOutError(error);
}
