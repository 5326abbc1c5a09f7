#pragma once
// The socket-error codes of the transport and their texts. Every errno and
// name-service result is turned into one of these codes here and nowhere
// else, so messages read the same whatever the system reported.

#include <string>

namespace SocketErrors {
constexpr int NotASocket = 10038;
constexpr int ConnectionAborted = 10053;
constexpr int ConnectionReset = 10054;
constexpr int SendAfterShutdown = 10058;
constexpr int TimedOut = 10060;
constexpr int ConnectionRefused = 10061;
constexpr int HostNotFound = 11001;
}  // namespace SocketErrors

// The table's text for a code; empty for a code not in the table.
std::string WSTranslateSocketErrorMsg(int error);

// The code for an errno value; an errno the table has no row for is kept
// as it is (its message then carries no text).
int SocketErrorFromErrno(int errnoValue);

// The code for a failed getaddrinfo call; errnoValue is consulted only when
// the result says the system call itself failed.
int SocketErrorFromAddrInfo(int result, int errnoValue);

// Raises EIdSocketError (EIdNotASocket for 10038) with the message
// "Socket Error # <code>\r\n<text>".
[[noreturn]] void RaiseSocketError(int error);

// RaiseSocketError for the errno of the call that just failed.
[[noreturn]] void RaiseLastSocketError();
