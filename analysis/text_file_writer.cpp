#include "analysis/text_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "analysis/in_out_error.h"
#include "base/stream.h"

namespace {

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

TTextFileWriter::TTextFileWriter(const std::string& fileName) : FTarget(ExpandFileName(fileName)) {
    // A directory in the way would only refuse the rename at the very end.
    struct stat status {};
    if (::stat(FTarget.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) RaiseInOutError(EISDIR);

    const size_t slash = FTarget.rfind('/');
    std::string pattern = FTarget.substr(0, slash + 1) + "." + FTarget.substr(slash + 1) + ".XXXXXX";
    FDescriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (FDescriptor < 0) RaiseInOutError(errno);
    FTemporary = pattern;
    // The permissions an ordinary new file gets, not mkostemp's 0600.
    ::fchmod(FDescriptor, 0666 & ~CurrentUmask());
    FBuffer.reset(new char[BufferSize]);
}

TTextFileWriter::~TTextFileWriter() {
    if (FDescriptor >= 0) ::close(FDescriptor);
    if (!FTemporary.empty()) ::unlink(FTemporary.c_str());
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
        const ssize_t written = ::write(FDescriptor, data, remaining);
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
    if (::fsync(FDescriptor) != 0 && errno != EINVAL && errno != EROFS) RaiseInOutError(errno);
    const int descriptor = FDescriptor;
    FDescriptor = -1;
    if (::close(descriptor) != 0) RaiseInOutError(errno);
    if (::rename(FTemporary.c_str(), FTarget.c_str()) != 0) RaiseInOutError(errno);
    FTemporary.clear();
}
