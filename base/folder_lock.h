#pragma once
// An advisory lock on a folder, held while a set of files is written into it,
// so that files that belong together all come from one writer: a second
// writer into the same folder (another process, or another thread) waits
// until the first releases the lock. The lock is taken on the folder itself
// (flock), which leaves no lock file behind and cannot be redirected by a link
// someone put in the folder. Writers that do not take the lock are not held
// back.
//
// Locks nest: a thread that already holds the lock of a folder takes it again
// at once (a caller may hold it around a road that takes it too).

#include <string>

class TFolderLock {
public:
    // Waits for the lock on folder (empty: the current directory). A folder
    // that cannot be opened is not locked: writing into it fails on its own,
    // with the writer's message.
    explicit TFolderLock(const std::string& folder);
    ~TFolderLock();  // releases the lock when the outermost holder ends
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    bool Held() const { return FEntry >= 0; }

private:
    int FEntry = -1;  // index into the thread's table of held folders
};
