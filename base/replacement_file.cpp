#include "base/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/interrupt_cleanup.h"

namespace {

void (*CreatedHook)(const std::string&) = nullptr;

// The mask is read from the process status: asking umask() for it means
// setting it, and another thread creating a file in that moment would get
// the wrong permissions.
bool ReadUmask(mode_t& mask) {
    FILE* status = std::fopen("/proc/self/status", "re");
    if (status == nullptr) return false;
    char line[256];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "Umask:", 6) != 0) continue;
        char* end = nullptr;
        const unsigned long value = std::strtoul(line + 6, &end, 8);
        found = end != line + 6 && value <= 0777;
        if (found) mask = static_cast<mode_t>(value);
    }
    std::fclose(status);
    return found;
}

}  // namespace

mode_t NewFileMode() {
    mode_t mask = 022;  // the usual mask, where the system does not tell
    ReadUmask(mask);
    return 0666 & ~mask;
}

void SetReplacementFileCreatedHook(void (*hook)(const std::string&)) { CreatedHook = hook; }

int TReplacementFile::Create(const std::string& targetPath) {
    Discard();
    // A folder in the way would only refuse the rename at the very end.
    struct stat status {};
    if (::stat(targetPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return EISDIR;
    const size_t slash = targetPath.rfind('/');
    std::string pattern = targetPath.substr(0, slash + 1) + "." + targetPath.substr(slash + 1) + ".XXXXXX";
    const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor < 0) return errno;
    FTarget = targetPath;
    FTemporary = std::move(pattern);
    FDescriptor = descriptor;
    FCleanupSlot = RegisterInterruptCleanup(FTemporary);
    // The permissions an ordinary new file gets, not mkostemp's 0600.
    if (::fchmod(FDescriptor, NewFileMode()) != 0) {
        const int error = errno;
        Discard();
        return error;
    }
    if (CreatedHook != nullptr) CreatedHook(FTemporary);
    return 0;
}

TReplacementFile::~TReplacementFile() { Discard(); }

void TReplacementFile::Discard() {
    if (FDescriptor >= 0) ::close(FDescriptor);
    if (!FTemporary.empty()) ::unlink(FTemporary.c_str());
    UnregisterInterruptCleanup(FCleanupSlot);
    FDescriptor = -1;
    FCleanupSlot = -1;
    FWritebackFrom = 0;
    FTemporary.clear();
}

void TReplacementFile::StartWriteback() {
    if (FDescriptor < 0) return;
    const off_t end = ::lseek(FDescriptor, 0, SEEK_CUR);
    if (end <= FWritebackFrom) return;
    ::sync_file_range(FDescriptor, FWritebackFrom, end - FWritebackFrom, SYNC_FILE_RANGE_WRITE);
    FWritebackFrom = end;
}

int TReplacementFile::Flush() {
    if (FDescriptor < 0) return EBADF;
    // Files on systems that cannot flush (or read-only ones) count as flushed.
    if (::fsync(FDescriptor) != 0 && errno != EINVAL && errno != EROFS) return errno;
    return 0;
}

int TReplacementFile::Commit() {
    if (const int error = Flush(); error != 0) return error;
    // Someone who can write into the folder may have put something else under
    // the temporary name; renaming that into place would publish their file.
    struct stat ours {};
    struct stat named {};
    if (::fstat(FDescriptor, &ours) != 0) return errno;
    if (::lstat(FTemporary.c_str(), &named) != 0 || named.st_dev != ours.st_dev || named.st_ino != ours.st_ino)
        return EACCES;
    const int descriptor = FDescriptor;
    FDescriptor = -1;
    if (::close(descriptor) != 0) return errno;
    if (::rename(FTemporary.c_str(), FTarget.c_str()) != 0) return errno;
    UnregisterInterruptCleanup(FCleanupSlot);
    FCleanupSlot = -1;
    FTemporary.clear();
    return 0;
}
