#include "base/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

namespace {

struct THeldFolder {
    dev_t Device = 0;
    ino_t Inode = 0;
    int Descriptor = -1;  // -1: a free entry
    int Depth = 0;
};

// flock excludes every other open of the folder, ours included: a nested
// lock of the same thread must reuse the descriptor that holds it.
thread_local std::vector<THeldFolder> HeldFolders;

int FindHeld(const struct stat& folder) {
    for (size_t i = 0; i < HeldFolders.size(); ++i) {
        const THeldFolder& held = HeldFolders[i];
        if (held.Descriptor >= 0 && held.Device == folder.st_dev && held.Inode == folder.st_ino)
            return static_cast<int>(i);
    }
    return -1;
}

int AddHeld(const struct stat& folder, int descriptor) {
    for (size_t i = 0; i < HeldFolders.size(); ++i)
        if (HeldFolders[i].Descriptor < 0) {
            HeldFolders[i] = {folder.st_dev, folder.st_ino, descriptor, 1};
            return static_cast<int>(i);
        }
    HeldFolders.push_back({folder.st_dev, folder.st_ino, descriptor, 1});
    return static_cast<int>(HeldFolders.size() - 1);
}

bool WaitForLock(int descriptor) {
    while (::flock(descriptor, LOCK_EX) != 0)
        if (errno != EINTR) return false;  // a file system without flock
    return true;
}

}  // namespace

TFolderLock::TFolderLock(const std::string& folder) {
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        ::close(descriptor);
        return;
    }
    FEntry = FindHeld(status);
    if (FEntry >= 0) {
        ++HeldFolders[static_cast<size_t>(FEntry)].Depth;
        ::close(descriptor);
        return;
    }
    if (!WaitForLock(descriptor)) {
        ::close(descriptor);  // written unlocked, as without this lock
        return;
    }
    FEntry = AddHeld(status, descriptor);
}

TFolderLock::~TFolderLock() {
    if (FEntry < 0) return;
    THeldFolder& held = HeldFolders[static_cast<size_t>(FEntry)];
    if (--held.Depth > 0) return;
    ::close(held.Descriptor);  // closing releases the lock
    held.Descriptor = -1;
}
