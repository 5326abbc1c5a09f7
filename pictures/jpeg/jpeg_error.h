#pragma once
// libjpeg reports errors by calling error_exit, which must not return. C++
// exceptions must not cross libjpeg's C frames, so error_exit jumps back to
// the guard that started the libjpeg call, and the guard's caller turns the
// message code into EJPEG "JPEG error #%d". Warnings are ignored and libjpeg
// never prints or formats a text.

#include <csetjmp>

#include "pictures/jpeg/jpeg_exception.h"
#include "pictures/jpeg/jpeg_library.h"

// The error manager handed to libjpeg; `Library` must stay the first member,
// since libjpeg sees only that part.
struct TJPEGErrorManager {
    jpeg_error_mgr Library;
    std::jmp_buf Jump;
};

// Fills `manager` and returns the pointer to store in cinfo->err.
jpeg_error_mgr* InitJPEGErrorManager(TJPEGErrorManager& manager);

// A step run under the guard. It and everything it calls must hold no object
// with a destructor, because an error leaves it by longjmp.
using TJPEGStep = void (*)(j_decompress_ptr cinfo, void* argument);

// Runs step(cinfo, argument) and returns 0, or libjpeg's message code when an
// error ended it. cinfo->err must be a TJPEGErrorManager.
int RunJPEGStep(j_decompress_ptr cinfo, TJPEGStep step, void* argument) noexcept;

// EJPEG "JPEG error #%d" with `code`.
[[noreturn]] void RaiseJPEGError(int code);

// RunJPEGStep, raising EJPEG when the step failed.
void CheckedJPEGStep(j_decompress_ptr cinfo, TJPEGStep step, void* argument);
