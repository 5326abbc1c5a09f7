// Socket error codes and their messages.
#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>

#include "net/transport/exceptions.h"
#include "net/transport/socket_errors.h"

TEST(SocketErrors, MessageCarriesCodeLineBreakAndTableText) {
    try {
        RaiseSocketError(10054);
        FAIL() << "nothing raised";
    } catch (const EIdSocketError& error) {
        EXPECT_STREQ(error.what(), "Socket Error # 10054\r\nConnection reset by peer.");
        EXPECT_STREQ(error.ClassName(), "EIdSocketError");
    }
    // A code the table does not know ends with the line break.
    try {
        RaiseSocketError(12345);
        FAIL() << "nothing raised";
    } catch (const EIdSocketError& error) {
        EXPECT_STREQ(error.what(), "Socket Error # 12345\r\n");
    }
    try {
        RaiseSocketError(10038);
        FAIL() << "nothing raised";
    } catch (const EIdNotASocket& error) {
        EXPECT_EQ(error.LastError(), 10038);
        EXPECT_STREQ(error.ClassName(), "EIdNotASocket");
    }
}

TEST(SocketErrors, SystemFailuresMapToTheTableCodes) {
    EXPECT_EQ(SocketErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(SocketErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(SocketErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(SocketErrorFromErrno(ECONNABORTED), 10053);
    EXPECT_EQ(SocketErrorFromErrno(EPIPE), 10058);
    EXPECT_EQ(SocketErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(SocketErrorFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_NONAME, 0), 11001);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_AGAIN, 0), 11002);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_SYSTEM, ECONNREFUSED), 10061);
}
