#pragma once
// Every failure of the program is an exception of one of these classes. Each
// carries its message text; ClassName() gives the class's own name at run
// time for messages that need it.

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    std::string FMessage;
};

// Declares an exception class Name deriving from Base with Base's constructors.
#define TW_DECLARE_EXCEPTION(Name, Base)                                  \
    class Name : public Base {                                            \
    public:                                                               \
        using Base::Base;                                                 \
        const char* ClassName() const noexcept override { return #Name; } \
    }

// A silent abort: the error report drops it without showing anything.
TW_DECLARE_EXCEPTION(EAbort, Exception);
TW_DECLARE_EXCEPTION(EConvertError, Exception);
TW_DECLARE_EXCEPTION(EOutOfMemory, Exception);
TW_DECLARE_EXCEPTION(EOutOfResources, Exception);
TW_DECLARE_EXCEPTION(EInOutError, Exception);
TW_DECLARE_EXCEPTION(EStreamError, Exception);
TW_DECLARE_EXCEPTION(EReadError, EStreamError);
TW_DECLARE_EXCEPTION(EWriteError, EStreamError);
TW_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
TW_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
TW_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
TW_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
TW_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
TW_DECLARE_EXCEPTION(EInvalidOperation, Exception);
TW_DECLARE_EXCEPTION(EAbstractError, Exception);
// A failure the operating system or the graphics layer reported with a code.
TW_DECLARE_EXCEPTION(EOSError, Exception);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The error report's rule: a "." is appended when the message's last
// character sorts after ".".
std::string WithClosingPeriod(const std::string& message);
