#pragma once
// Failures of the TCP transport. Socket failures carry the error code of the
// socket-error table (socket_errors.h) so that callers and messages do not
// depend on the platform's errno numbering.

#include <string>

#include "base/exception.h"

TW_DECLARE_EXCEPTION(EIdException, Exception);
// Shown like any other failure; the name only marks it as an expected end.
TW_DECLARE_EXCEPTION(EIdSilentException, EIdException);
TW_DECLARE_EXCEPTION(EIdConnClosedGracefully, EIdSilentException);
TW_DECLARE_EXCEPTION(EIdReadLnMaxLineLengthExceeded, EIdException);
TW_DECLARE_EXCEPTION(EIdNotConnected, EIdException);
TW_DECLARE_EXCEPTION(EIdReadTimeout, EIdException);
TW_DECLARE_EXCEPTION(EIdConnectTimeout, EIdException);
TW_DECLARE_EXCEPTION(EIdAlreadyConnected, EIdException);
TW_DECLARE_EXCEPTION(EIdHostRequired, EIdException);
TW_DECLARE_EXCEPTION(EIdPortRequired, EIdException);

class EIdSocketError : public EIdException {
public:
    EIdSocketError(int lastError, std::string message) : EIdException(std::move(message)), FLastError(lastError) {}
    const char* ClassName() const noexcept override { return "EIdSocketError"; }
    int LastError() const noexcept { return FLastError; }

private:
    int FLastError;
};

TW_DECLARE_EXCEPTION(EIdNotASocket, EIdSocketError);
