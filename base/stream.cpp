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
        FDescriptor = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat status {};
        if (FDescriptor >= 0 && ::fstat(FDescriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
            ::close(FDescriptor);
            FDescriptor = -1;
            errno = EISDIR;
        }
        if (FDescriptor < 0)
            throw EFOpenError(Format("Cannot open file \"%s\". %s", ExpandFileName(fileName).c_str(),
                                     SystemText(errno).c_str()));
    } else {
        FDescriptor = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FDescriptor < 0)
            throw EFCreateError(Format("Cannot create file \"%s\". %s", ExpandFileName(fileName).c_str(),
                                       SystemText(errno).c_str()));
    }
}

TFileStream::~TFileStream() {
    if (FDescriptor >= 0) ::close(FDescriptor);
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
    const bool closed = ::close(descriptor) == 0;
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

TAtomicFileWriter::TAtomicFileWriter(const std::string& fileName) : FTarget(ExpandFileName(fileName)) {
    struct stat status {};
    if (::stat(FTarget.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        throw EFCreateError(Format("Cannot create file \"%s\". %s", FTarget.c_str(), SystemText(EISDIR).c_str()));
    const size_t slash = FTarget.rfind('/');
    std::string pattern = FTarget.substr(0, slash + 1) + "." + FTarget.substr(slash + 1) + ".XXXXXX";
    const int descriptor = ::mkstemp(pattern.data());
    if (descriptor < 0) {
        const int error = errno;
        throw EFCreateError(Format("Cannot create file \"%s\". %s", FTarget.c_str(), SystemText(error).c_str()));
    }
    ::close(descriptor);
    FTemporary = pattern;
    // Keep the permissions an ordinary new file would get, not mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(FTemporary.c_str(), 0666 & ~mask);
    try {
        FStream = new TFileStream(FTemporary, TFileStream::Mode::Create);
    } catch (...) {
        ::unlink(FTemporary.c_str());
        throw;
    }
}

TAtomicFileWriter::~TAtomicFileWriter() {
    delete FStream;
    if (!FCommitted) ::unlink(FTemporary.c_str());
}

void TAtomicFileWriter::Commit() {
    FStream->Close();
    if (::rename(FTemporary.c_str(), FTarget.c_str()) != 0) throw EWriteError("Stream write error");
    FCommitted = true;
}
