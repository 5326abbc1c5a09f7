#pragma once
// Byte streams: the readers take their input from a stream positioned at the
// start of the picture, the writers put their output into one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/replacement_file.h"

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to count bytes; returns the number read (0 at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes up to count bytes; returns the number written.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Position() const = 0;
    virtual void SetPosition(int64_t position) = 0;
    virtual int64_t Size() const = 0;

    // Reads exactly count bytes or raises EReadError "Stream read error".
    void ReadBuffer(void* buffer, size_t count);
    // Writes all count bytes (repeating partial writes) or raises
    // EWriteError "Stream write error".
    void WriteBuffer(const void* buffer, size_t count);
    int64_t Remaining() const { return Size() - Position(); }
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : FData(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Position() const override { return FPosition; }
    void SetPosition(int64_t position) override;
    int64_t Size() const override { return static_cast<int64_t>(FData.size()); }

    void LoadFromStream(TStream& source);
    void Clear();
    const std::vector<uint8_t>& Data() const { return FData; }
    std::vector<uint8_t>& Data() { return FData; }

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

// A stream over a file; the descriptor is closed by the destructor.
class TFileStream : public TStream {
public:
    enum class Mode { OpenRead, Create };
    // OpenRead: EFOpenError "Cannot open file "%s". %s" when the file cannot
    // be opened or is not a regular file (a folder, FIFO, device: refused
    // without waiting for a writer). Create: the file is created or emptied, EFCreateError
    // "Cannot create file "%s". %s" on failure.
    TFileStream(const std::string& fileName, Mode mode);
    // A stream over a descriptor that its owner keeps and closes.
    explicit TFileStream(int borrowedDescriptor) : FDescriptor(borrowedDescriptor), FOwned(false) {}
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Position() const override;
    void SetPosition(int64_t position) override;
    int64_t Size() const override;
    int Descriptor() const { return FDescriptor; }
    // The errno of the last failed call, 0 when none failed.
    int LastErrno() const { return FLastErrno; }
    // Flushes to disk and closes (a borrowed descriptor is only flushed and
    // no longer used); raises EWriteError on failure.
    void Close();

private:
    int FDescriptor = -1;
    bool FOwned = true;
    int FLastErrno = 0;
};

// Absolute form of a path, relative paths taken from the current directory.
std::string ExpandFileName(const std::string& fileName);

// Writes a file safely through a TReplacementFile (see replacement_file.h):
// the target is replaced only once the content is complete. On any failure
// the temporary file is removed and an existing target stays as it was.
class TAtomicFileWriter {
public:
    // Raises EFCreateError "Cannot create file "%s". %s" (with the target's
    // full path) when the temporary file cannot be created.
    explicit TAtomicFileWriter(const std::string& fileName);
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    TFileStream& Stream() { return FStream; }
    // Waits until the content is on disk, so that Commit has nothing left
    // to wait for; raises EWriteError "Stream write error" when that fails.
    void Flush();
    // Flushes, closes and renames over the target; raises EWriteError
    // "Stream write error" when that fails.
    void Commit();
    const std::string& TargetPath() const { return FTarget; }

private:
    std::string FTarget;
    TReplacementFile FFile;  // removes the temporary file unless committed
    TFileStream FStream;
};
