#include "analysis/text_file_writer.h"

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
    if (size >= BufferSize) {
        // Large pieces go out as they are, after what the buffer holds.
        Flush();
        WriteOut(text, size);
        return;
    }
    std::memcpy(Room(size), text, size);
    Advance(size);
}

void TTextFileWriter::WriteOut(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(FFile.Descriptor(), data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            RaiseInOutError(errno);
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    FFile.StartWriteback();
}

void TTextFileWriter::Flush() {
    WriteOut(FBuffer.get(), FUsed);
    FUsed = 0;
}

void TTextFileWriter::Commit() {
    Flush();
    if (const int error = FFile.Commit(); error != 0) RaiseInOutError(error);
}
