#pragma once
// EInOutError for a failed file operation, with the message of its system
// error code.

#include <string>

#include "base/exception.h"

// The error code of the table's system nearest to an errno value.
int InOutErrorCode(int errnoValue);
// "File access denied", "I/O error 32", ... for an error code.
std::string InOutErrorMessage(int code);
[[noreturn]] void RaiseInOutError(int errnoValue);
