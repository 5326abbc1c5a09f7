#include "base/stream.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/exception.h"

namespace {

// The system's text for an error, without trailing blanks, line breaks or ".".
std::string SystemText(int error) {
    std::string text = std::strerror(error);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return text;
}

// Opens a file for reading, or returns -1 with errno set. Only regular files
// are pictures: a FIFO would block the open (and then every read) until some
// other program writes into it, a device may never end. The open does not
// wait, and whatever is not a regular file is refused.
int OpenRegularFile(const std::string& fileName) {
    const int descriptor = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return -1;
    struct stat status {};
    int error = 0;
    if (::fstat(descriptor, &status) != 0)
        error = errno;
    else if (S_ISDIR(status.st_mode))
        error = EISDIR;
    else if (!S_ISREG(status.st_mode))
        error = EINVAL;
    else if (::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0)
        error = errno;
    if (error == 0) return descriptor;
    ::close(descriptor);
    errno = error;
    return -1;
}

}  // namespace

void TStream::ReadBuffer(void* buffer, size_t count) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const size_t read = Read(bytes, count);
        if (read == 0) throw EReadError("Stream read error");
        bytes += read;
        count -= read;
    }
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        const size_t written = Write(bytes, count);
        if (written == 0) throw EWriteError("Stream write error");
        bytes += written;
        count -= written;
    }
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (FPosition >= Size()) return 0;
    const size_t available = static_cast<size_t>(Size() - FPosition);
    const size_t n = count < available ? count : available;
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += static_cast<int64_t>(n);
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    const size_t end = static_cast<size_t>(FPosition) + count;
    if (end > FData.size()) FData.resize(end);
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition = static_cast<int64_t>(end);
    return count;
}

void TMemoryStream::SetPosition(int64_t position) { FPosition = position < 0 ? 0 : position; }

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t size = source.Size();
    FData.resize(static_cast<size_t>(size));
    if (size > 0) source.ReadBuffer(FData.data(), FData.size());
    FPosition = 0;
}

void TMemoryStream::Clear() {
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

TFileStream::TFileStream(const std::string& fileName, Mode mode) {
    if (mode == Mode::OpenRead) {
        FDescriptor = OpenRegularFile(fileName);
        if (FDescriptor < 0)
            throw EFOpenError(
                Format("Cannot open file \"%s\". %s", ExpandFileName(fileName).c_str(), SystemText(errno).c_str()));
    } else {
        FDescriptor = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FDescriptor < 0)
            throw EFCreateError(
                Format("Cannot create file \"%s\". %s", ExpandFileName(fileName).c_str(), SystemText(errno).c_str()));
    }
}

TFileStream::~TFileStream() {
    if (FOwned && FDescriptor >= 0) ::close(FDescriptor);
}

size_t TFileStream::Read(void* buffer, size_t count) {
    for (;;) {
        const ssize_t n = ::read(FDescriptor, buffer, count);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) {
            FLastErrno = errno;
            return 0;
        }
    }
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    for (;;) {
        const ssize_t n = ::write(FDescriptor, buffer, count);
        if (n >= 0) return static_cast<size_t>(n);
        if (errno != EINTR) {
            FLastErrno = errno;
            return 0;
        }
    }
}

int64_t TFileStream::Position() const { return ::lseek(FDescriptor, 0, SEEK_CUR); }

void TFileStream::SetPosition(int64_t position) {
    if (::lseek(FDescriptor, position, SEEK_SET) < 0) FLastErrno = errno;
}

int64_t TFileStream::Size() const {
    struct stat status {};
    if (::fstat(FDescriptor, &status) != 0) return 0;
    return status.st_size;
}

void TFileStream::Close() {
    if (FDescriptor < 0) return;
    const int descriptor = FDescriptor;
    FDescriptor = -1;
    const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL || errno == EROFS;
    if (!synced) FLastErrno = errno;
    const bool closed = !FOwned || ::close(descriptor) == 0;
    if (!closed) FLastErrno = errno;
    if (!synced || !closed) throw EWriteError("Stream write error");
}

std::string ExpandFileName(const std::string& fileName) {
    if (!fileName.empty() && fileName.front() == '/') return fileName;
    char directory[PATH_MAX];
    if (::getcwd(directory, sizeof directory) == nullptr) return fileName;
    std::string result = directory;
    if (result.back() != '/') result += '/';
    return result + fileName;
}

namespace {

int CreateOrRaise(TReplacementFile& file, const std::string& target) {
    const int error = file.Create(target);
    if (error != 0)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", target.c_str(), SystemText(error).c_str()));
    return file.Descriptor();
}

}  // namespace

TAtomicFileWriter::TAtomicFileWriter(const std::string& fileName)
    : FTarget(ExpandFileName(fileName)), FStream(CreateOrRaise(FFile, FTarget)) {}

void TAtomicFileWriter::Flush() {
    if (FFile.Flush() != 0) throw EWriteError("Stream write error");
}

void TAtomicFileWriter::Commit() {
    if (FFile.Commit() != 0) throw EWriteError("Stream write error");
}
