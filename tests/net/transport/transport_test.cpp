// The TCP transport against scripted loopback servers.
#include <gtest/gtest.h>

#include "net/transport/exceptions.h"
#include "net/transport/io_handler_stack.h"
#include "net/transport/socket_errors.h"
#include "net/transport/tcp_client.h"
#include "tests/net/loopback_server.h"
#include "tests/net/test_helpers.h"

namespace {

using TClock = TTestClock;

// A client connected to server; the server sends its bytes right away.
struct TConnectedClient {
    explicit TConnectedClient(const TLoopbackServer& server, const std::string& host = "127.0.0.1") {
        Client.SetHost(host);
        Client.SetPort(server.Port());
        Client.Connect();
    }
    TIdIOHandler& IO() { return *Client.IOHandler(); }
    TIdTCPClientCustom Client;
};

TLoopbackServer::TScript SendAndClose(std::string bytes) {
    return [bytes = std::move(bytes)](TScriptedConnection& connection) { connection.Send(bytes); };
}

TLoopbackServer::TScript SendAndHold(std::string bytes) {
    return [bytes = std::move(bytes)](TScriptedConnection& connection) {
        connection.Send(bytes);
        connection.HoldUntilStopped();
    };
}

}  // namespace

TEST(SocketTransport, ConnectChecksHostPortAndState) {
    TLoopbackServer server(SendAndHold(""));
    TIdTCPClientCustom client;
    client.SetPort(server.Port());
    EXPECT_EQ(MessageOf<EIdHostRequired>([&] { client.Connect(); }), "A Host is required");
    client.SetHost("127.0.0.1");
    client.SetPort(0);
    EXPECT_EQ(MessageOf<EIdPortRequired>([&] { client.Connect(); }), "A Port is required");
    client.SetPort(server.Port());
    client.Connect();
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(MessageOf<EIdAlreadyConnected>([&] { client.Connect(); }), "Already connected.");
    client.Disconnect();
    EXPECT_FALSE(client.Connected());
}

TEST(SocketTransport, LocalhostInAnyCaseIsTheLoopbackAddress) {
    TLoopbackServer server(SendAndHold(""));
    TConnectedClient connected(server, "LocalHOST");
    const auto& handler = static_cast<const TIdIOHandlerStack&>(connected.IO());
    EXPECT_EQ(handler.Binding().PeerIP(), "127.0.0.1");
}

TEST(SocketTransport, ReadLnEndsAtLineFeedWithOrWithoutCarriageReturn) {
    TLoopbackServer server(SendAndHold("HTTP/1.1 200 OK\r\nHTTP/1.1 200 OK\n\r\nna\xC3\xAFve\n"));
    TConnectedClient connected(server);
    EXPECT_EQ(connected.IO().ReadLn(), "HTTP/1.1 200 OK");
    EXPECT_EQ(connected.IO().ReadLn(), "HTTP/1.1 200 OK");
    EXPECT_EQ(connected.IO().ReadLn(), "");
    EXPECT_EQ(connected.IO().ReadLn(), "na\xEF\xBF\xBD\xEF\xBF\xBDve");  // each byte above 127 is U+FFFD
}

TEST(SocketTransport, LineLongerThanTheLimitIsRefusedWhateverHowItArrives) {
    const std::string longest(16384, 'a');
    TLoopbackServer server([&](TScriptedConnection& connection) {
        connection.Send(longest + "\r\n");  // the carriage return makes it one byte too long
        connection.Send(longest + "\n");
        connection.Send(std::string(20000, 'b'));
        connection.HoldUntilStopped();
    });
    TConnectedClient connected(server);
    EXPECT_THROW(connected.IO().ReadLn(), EIdReadLnMaxLineLengthExceeded);
    connected.IO().Discard(16384 + 2);
    EXPECT_EQ(connected.IO().ReadLn(), longest);
    EXPECT_EQ(MessageOf<EIdReadLnMaxLineLengthExceeded>([&] { connected.IO().ReadLn(); }), "Max line length exceeded.");
}

TEST(SocketTransport, BytesReceivedBeforeThePeerClosedCanStillBeRead) {
    TLoopbackServer server(SendAndClose("last line\nrest"));
    TConnectedClient connected(server);
    EXPECT_EQ(connected.IO().ReadLn(), "last line");
    EXPECT_TRUE(connected.Client.Connected());  // "rest" is unread
    TMemoryStream rest;
    connected.IO().ReadStream(rest, 0, true);
    EXPECT_EQ(std::string(rest.Data().begin(), rest.Data().end()), "rest");
    EXPECT_FALSE(connected.Client.Connected());
    EXPECT_EQ(MessageOf<EIdConnClosedGracefully>([&] { connected.IO().ReadLn(); }), "Connection Closed Gracefully.");
}

TEST(SocketTransport, CountedReadsSpanManyReceivesAndStopAtTheCount) {
    std::string payload;
    for (int i = 0; i < 100000; ++i) payload += static_cast<char>('a' + i % 26);
    TLoopbackServer server([&](TScriptedConnection& connection) {
        for (size_t offset = 0; offset < payload.size(); offset += 7000) {
            connection.Send(std::string_view(payload).substr(offset, 7000));
            connection.Pause(1);
        }
        connection.Send("after\n");
        connection.HoldUntilStopped();
    });
    TConnectedClient connected(server);
    connected.IO().Discard(10);
    TMemoryStream stream;
    connected.IO().ReadStream(stream, 100000 - 10);
    ASSERT_EQ(stream.Size(), 100000 - 10);
    EXPECT_TRUE(std::equal(stream.Data().begin(), stream.Data().end(), payload.begin() + 10));
    EXPECT_EQ(connected.IO().ReadLn(), "after");
}

TEST(SocketTransport, CountedReadCutShortRaisesAfterMovingWhatCame) {
    TLoopbackServer server(SendAndClose("abc"));
    TConnectedClient connected(server);
    TMemoryStream stream;
    EXPECT_THROW(connected.IO().ReadStream(stream, 10), EIdConnClosedGracefully);
    EXPECT_EQ(stream.Size(), 3);
}

TEST(SocketTransport, BufferedWritesArriveWholeAndTextIsSentAsASCII) {
    TLoopbackServer server([](TScriptedConnection& connection) { connection.ReadRequest(); });
    TConnectedClient connected(server);
    TIdIOHandler& io = connected.IO();
    io.WriteBufferOpen();
    io.WriteLn("DROPPED");
    io.WriteBufferCancel();
    io.WriteBufferOpen();
    io.WriteLn("GET / HTTP/1.1");
    io.WriteLn("X: caf\xC3\xA9");  // one character above 127, two bytes in UTF-8
    io.WriteLn("");
    io.WriteBufferClose();
    EXPECT_EQ(server.WaitForRequest(), "GET / HTTP/1.1\r\nX: caf?\r\n\r\n");
}

TEST(SocketTransport, RefusedConnectionAndUnknownHostRaiseTheirSocketErrors) {
    TRefusingPort refusing;
    TIdTCPClientCustom client;
    client.SetHost("127.0.0.1");
    client.SetPort(refusing.Port());
    EXPECT_EQ(MessageOf<EIdSocketError>([&] { client.Connect(); }), "Socket Error # 10061\r\nConnection refused.");
    EXPECT_FALSE(client.Connected());
    client.SetHost(UnresolvableHost);
    try {
        client.Connect();
        FAIL() << "resolved " << UnresolvableHost;
    } catch (const EIdSocketError& error) {
        EXPECT_EQ(error.LastError(), 11001);
        EXPECT_STREQ(error.what(), "Socket Error # 11001\r\nHost not found.");
    }
}

TEST(SocketTransport, ConnectTimeoutEndsAnUnansweredConnect) {
    TFullListener listener;
    TIdTCPClientCustom client;
    client.SetHost("127.0.0.1");
    client.SetPort(listener.Port());
    client.SetConnectTimeout(200);
    const auto start = TClock::now();
    try {
        client.Connect();
        GTEST_SKIP() << "this system accepts connections beyond a full backlog";
    } catch (const EIdConnectTimeout& error) {
        EXPECT_STREQ(error.what(), "Connect timed out.");
    }
    // The system's own connect timeout is minutes.
    EXPECT_GE(MillisecondsSince(start), 190);
    EXPECT_LT(MillisecondsSince(start), LongWait);
    EXPECT_FALSE(client.Connected());
}

TEST(SocketTransport, ReadTimeoutEndsAWaitForASilentServer) {
    TLoopbackServer server(SendAndHold("partial"));
    TConnectedClient connected(server);
    connected.Client.SetReadTimeout(200);
    const auto start = TClock::now();
    EXPECT_EQ(MessageOf<EIdReadTimeout>([&] { connected.IO().ReadLn(); }), "Read timed out.");
    EXPECT_TRUE(connected.IO().ReadLnTimedOut());
    EXPECT_GE(MillisecondsSince(start), 190);
    EXPECT_LT(MillisecondsSince(start), LongWait);  // the server holds the line until the test ends
}

TEST(SocketTransport, DeadlineEndsReadsFromAServerThatTrickles) {
    TLoopbackServer server([](TScriptedConnection& connection) {
        while (connection.Pause(20)) connection.Send("x");
    });
    TConnectedClient connected(server);
    connected.Client.SetReadTimeout(1000);  // every single wait would succeed
    connected.Client.SetDeadline(TClock::now() + std::chrono::milliseconds(300));
    const auto start = TClock::now();
    EXPECT_THROW(connected.IO().ReadLn(), EIdReadTimeout);
    // Without the deadline the trickle never ends.
    EXPECT_GE(MillisecondsSince(start), 290);
    EXPECT_LT(MillisecondsSince(start), LongWait);
}
