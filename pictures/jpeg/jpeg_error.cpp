#include "pictures/jpeg/jpeg_error.h"

namespace {

TJPEGErrorManager& Manager(j_common_ptr cinfo) {
    // Library is the first member, so the addresses coincide.
    return *reinterpret_cast<TJPEGErrorManager*>(cinfo->err);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo) { std::longjmp(Manager(cinfo).Jump, 1); }

void EmitMessage(j_common_ptr, int) {}

void OutputMessage(j_common_ptr) {}

void FormatMessage(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

void ResetErrorManager(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

}  // namespace

jpeg_error_mgr* InitJPEGErrorManager(TJPEGErrorManager& manager) {
    // The standard manager supplies the fields libjpeg reads (trace level,
    // message tables); every method is then replaced with ours.
    jpeg_std_error(&manager.Library);
    manager.Library.error_exit = ErrorExit;
    manager.Library.emit_message = EmitMessage;
    manager.Library.output_message = OutputMessage;
    manager.Library.format_message = FormatMessage;
    manager.Library.reset_error_mgr = ResetErrorManager;
    return &manager.Library;
}

int RunJPEGStep(j_decompress_ptr cinfo, TJPEGStep step, void* argument) noexcept {
    TJPEGErrorManager& manager = Manager(reinterpret_cast<j_common_ptr>(cinfo));
    if (setjmp(manager.Jump) != 0) {
        // A message code of 0 would read as success; libjpeg never raises it.
        return manager.Library.msg_code != 0 ? manager.Library.msg_code : -1;
    }
    step(cinfo, argument);
    return 0;
}

void RaiseJPEGError(int code) { throw EJPEG(Format("JPEG error #%d", code)); }

void CheckedJPEGStep(j_decompress_ptr cinfo, TJPEGStep step, void* argument) {
    int code = RunJPEGStep(cinfo, step, argument);
    if (code != 0) {
        RaiseJPEGError(code);
    }
}
