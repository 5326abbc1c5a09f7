#pragma once
// Failures of the HTTP client. Transport failures keep their own classes
// (exceptions.h); these are about what the server answered.

#include <string>

#include "net/transport/exceptions.h"

TW_DECLARE_EXCEPTION(EIdUnknownProtocol, EIdException);
TW_DECLARE_EXCEPTION(EIdReplyError, EIdException);
TW_DECLARE_EXCEPTION(EIdReplyRFCError, EIdReplyError);

// An answer with an error status. The message is the status line.
class EIdHTTPProtocolException : public EIdReplyRFCError {
public:
    EIdHTTPProtocolException(int errorCode, std::string statusLine, std::string errorMessage)
        : EIdReplyRFCError(std::move(statusLine)), FErrorCode(errorCode), FErrorMessage(std::move(errorMessage)) {}
    const char* ClassName() const noexcept override { return "EIdHTTPProtocolException"; }
    // The status code; -1 when the status line held none.
    int ErrorCode() const noexcept { return FErrorCode; }
    // The body of the answer as text.
    const std::string& ErrorMessage() const noexcept { return FErrorMessage; }

private:
    int FErrorCode;
    std::string FErrorMessage;
};

// The answer's headers exceed the client's limits on their number or size.
TW_DECLARE_EXCEPTION(EIdHTTPHeaderLimitExceeded, EIdException);
// A chunk of a chunked body announced a size that is not plain hexadecimal
// or does not fit in 63 bits.
TW_DECLARE_EXCEPTION(EIdHTTPInvalidChunkSize, EIdException);
