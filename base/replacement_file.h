#pragma once
// The one way a file of ours replaces another: the content goes into a new
// temporary file in the target's folder, created with a random name and
// written only through the descriptor that created it, and is renamed over
// the target once complete. The name is never opened a second time, so no
// one who can write into the folder can make us write through a link they
// put there. An interrupting signal removes the temporary file (see
// interrupt_cleanup.h); after a hard kill, the target is still either the
// previous file or the complete new one.
//
// Failures are returned as errno values: the faces over this class raise
// their own exceptions with their own messages.

#include <sys/types.h>
#include <string>

class TReplacementFile {
public:
    TReplacementFile() = default;
    ~TReplacementFile();  // closes and removes the temporary file unless committed
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    // Creates the temporary file for targetPath (absolute). 0 or an errno;
    // EISDIR when a folder stands at the target.
    [[nodiscard]] int Create(const std::string& targetPath);
    int Descriptor() const { return FDescriptor; }
    const std::string& TemporaryPath() const { return FTemporary; }

    // Asks the system to start writing what the file holds so far to disk,
    // without waiting: the flush at Commit then has little left to wait for.
    // Advice only; failures are ignored.
    void StartWriteback();

    // Waits until what the file holds is on disk. 0 or an errno.
    [[nodiscard]] int Flush();

    // Flushes to disk, closes and renames over the target. 0 or an errno;
    // EACCES when the temporary name no longer leads to our file.
    [[nodiscard]] int Commit();

private:
    void Discard();

    std::string FTarget;
    std::string FTemporary;
    int FDescriptor = -1;
    int FCleanupSlot = -1;
    off_t FWritebackFrom = 0;  // the part before it was handed to StartWriteback
};

// The permission bits a file created now with mode 0666 would get: 0666
// without the process's file-mode creation mask, read without changing it.
mode_t NewFileMode();

// Test seam: called with the temporary path right after it is created.
void SetReplacementFileCreatedHook(void (*hook)(const std::string& temporaryPath));
