#include "analysis/in_out_error.h"

#include <cerrno>

int InOutErrorCode(int errnoValue) {
    // The messages are keyed by the other system's error codes, so errno is
    // mapped onto the nearest of them: no access, a read-only file system or a
    // directory in the way of the file -> 5 (access denied); a missing folder
    // or a file where a folder should be -> 3 (path not found); too many open
    // files -> 4; no space -> 112 (disk full); a file in use -> 32 (sharing
    // violation); a few others to their namesakes; anything else keeps its
    // errno value.
    switch (errnoValue) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    case ENOENT:
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case ENOSPC:
    case EDQUOT: return 112;
    case EBUSY:
    case ETXTBSY: return 32;
    case ENOMEM: return 8;
    case EEXIST: return 80;
    case EINVAL: return 87;
    case ENAMETOOLONG: return 206;
    case EFBIG: return 223;
    default: return errnoValue;
    }
}

std::string InOutErrorMessage(int code) {
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return Format("I/O error %d", code);
    }
}

void RaiseInOutError(int errnoValue) { throw EInOutError(InOutErrorMessage(InOutErrorCode(errnoValue))); }
