// The HTTP GET client against scripted loopback servers.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

#include "net/http/http.h"
#include "net/http/http_exceptions.h"
#include "tests/net/loopback_io_handler.h"
#include "tests/net/loopback_server.h"
#include "tests/net/test_helpers.h"

namespace {

using TClock = TTestClock;

// Answers one request and keeps the connection open, silent, afterwards.
TLoopbackServer::TScript AnswerAndHold(std::string response) {
    return [response = std::move(response)](TScriptedConnection& connection) {
        connection.ReadRequest();
        connection.Send(response);
        connection.HoldUntilStopped();
    };
}

EIdHTTPProtocolException ExpectProtocolError(TIdHTTP& http, const std::string& url) {
    try {
        http.Get(url);
    } catch (const EIdHTTPProtocolException& error) {
        return error;
    }
    ADD_FAILURE() << "no protocol error for " << url;
    return EIdHTTPProtocolException(0, "", "");
}

}  // namespace

TEST(HttpClient, RequestHoldsExactlyRequestLineHostAcceptAndUserAgent) {
    TLoopbackServer server(Answer("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
    TIdHTTP http;
    http.SetIOHandler(std::make_shared<TLoopbackIOHandler>(server.Port()));
    http.Get("http://version.example/Softwares/HueSmith/Version.txt");
    EXPECT_EQ(server.WaitForRequest(),
              "GET /Softwares/HueSmith/Version.txt HTTP/1.1\r\n"
              "Host: version.example\r\n"
              "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
              "User-Agent: Mozilla/3.0 (compatible; Tintwright)\r\n"
              "\r\n");
}

TEST(HttpClient, RequestNamesAPortOtherThan80AndKeepsParametersButNotTheFragment) {
    TLoopbackServer server(Answer("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
    TIdHTTP http;
    http.Get(server.URL("/a/b.txt?x=1&y=%20#top"));
    const std::string request = server.WaitForRequest();
    EXPECT_EQ(request.substr(0, request.find("\r\nAccept")),
              "GET /a/b.txt?x=1&y=%20 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.Port()));
}

struct TBodyCase {
    const char* Name;
    const char* Response;
    bool CloseAfterwards;
    const char* Expected;
};

class HttpBody : public testing::TestWithParam<TBodyCase> {};

TEST_P(HttpBody, IsFramedAndDecodedWithoutWaitingForMore) {
    const TBodyCase& body = GetParam();
    TLoopbackServer server(body.CloseAfterwards ? Answer(body.Response) : AnswerAndHold(body.Response));
    // A client that waited for more would sit out the whole read timeout:
    // the bound lies far above a prompt answer and far below that wait.
    TIdHTTP http;
    http.SetReadTimeout(LongWait);
    const auto start = TClock::now();
    EXPECT_EQ(http.Get(server.URL()), body.Expected);
    EXPECT_LT(MillisecondsSince(start), LongWait / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Framings, HttpBody,
    testing::Values(
        TBodyCase{"ContentLengthOnAnOpenConnection", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n1.0", false, "1.0"},
        TBodyCase{"UntilClose", "HTTP/1.1 200 OK\r\n\r\n1.0\r\nmore", true, "1.0\r\nmore"},
        TBodyCase{"Chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\n1.0\r\n0\r\n\r\n", false,
                  "1.0"},
        TBodyCase{"ChunkedWithExtensionsAndTrailer",
                  "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n2;x=y\r\n1.\r\n 1 \r\n0\r\n0\r\nT: 1\r\n\r\n",
                  false, "1.0"},
        TBodyCase{"ContentLengthCutShortByClose", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n1.0", true, "1.0"},
        TBodyCase{"InterimAnswerSkipped",
                  "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n1.0", false, "1.0"},
        TBodyCase{"NoContent", "HTTP/1.1 204 No Content\r\n\r\n", false, ""},
        TBodyCase{"LastSuccessCodeHasABody", "HTTP/1.1 299 Fine\r\nContent-Length: 3\r\n\r\n1.0", false, "1.0"},
        TBodyCase{"NoContentIgnoresALength", "HTTP/1.1 204 No Content\r\nContent-Length: 3\r\n\r\n", false, ""},
        TBodyCase{"TextWithoutCharsetIsLatin1", "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n\xE9", true,
                  "\xC3\xA9"},
        TBodyCase{"OctetsByteForByte", "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n\xE9", true,
                  "\xC3\xA9"},
        TBodyCase{"ByteOrderMarkKeptAsLatin1",
                  "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n\xEF\xBB\xBF"
                  "1.0",
                  true,
                  "\xC3\xAF\xC2\xBB\xC2\xBF"
                  "1.0"},
        TBodyCase{"DeclaredUTF8", "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=\"UTF-8\"\r\n\r\n\xC3\xA9",
                  true, "\xC3\xA9"}),
    [](const testing::TestParamInfo<TBodyCase>& info) { return std::string(info.param.Name); });

TEST(HttpClient, ErrorStatusRaisesWithStatusLineCodeAndBody) {
    TLoopbackServer server(
        AnswerAndHold("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 9\r\n\r\n<p>no</p>"));
    TIdHTTP http;
    const EIdHTTPProtocolException error = ExpectProtocolError(http, server.URL());
    EXPECT_STREQ(error.what(), "HTTP/1.1 404 Not Found");
    EXPECT_EQ(error.ErrorCode(), 404);
    EXPECT_EQ(error.ErrorMessage(), "<p>no</p>");
}

// An error answer whose body never ends: the client keeps the capped part,
// stops reading there and closes, instead of reading until its deadline.
TEST(HttpClient, EndlessErrorBodyStopsAtItsCap) {
    std::atomic<int64_t> sent{0};
    {
        TLoopbackServer server([&sent](TScriptedConnection& connection) {
            connection.ReadRequest();
            connection.Send("HTTP/1.1 500 Oops\r\nConnection: close\r\n\r\n");
            const std::string block(64 * 1024, 'e');
            // Bounded so that a client that never stops still ends the test.
            while (sent < (int64_t{1} << 30) && connection.Send(block)) sent += int64_t(block.size());
        });
        TIdHTTP http;
        http.SetMaxErrorBodySize(64 * 1024);
        http.SetRequestTimeout(20000);
        const EIdHTTPProtocolException error = ExpectProtocolError(http, server.URL());
        EXPECT_STREQ(error.what(), "HTTP/1.1 500 Oops");
        EXPECT_EQ(error.ErrorMessage(), std::string(64 * 1024, 'e'));
        EXPECT_FALSE(http.Connected());
    }
    // What the socket buffers took before the client closed, no more.
    EXPECT_LT(sent, int64_t{64} << 20);
}

TEST(HttpClient, RedirectionIsRefusedWithoutASecondRequestOrAWait) {
    TLoopbackServer elsewhere(Answer("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n1.0"));
    TLoopbackServer server(AnswerAndHold("HTTP/1.1 301 Moved Permanently\r\nLocation: " + elsewhere.URL() +
                                         "\r\nContent-Length: 0\r\n\r\n"));
    TIdHTTP http;
    http.SetReadTimeout(LongWait);
    const auto start = TClock::now();
    const EIdHTTPProtocolException error = ExpectProtocolError(http, server.URL());
    // A redirection that says nothing of a body is given 5 s for one; this
    // one says it has none, so no wait at all (the bound is half of that).
    EXPECT_LT(MillisecondsSince(start), 2500);
    EXPECT_STREQ(error.what(), "HTTP/1.1 301 Moved Permanently");
    EXPECT_EQ(error.ErrorCode(), 301);
    EXPECT_EQ(server.Accepted(), 1);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(elsewhere.Accepted(), 0);
}

TEST(HttpClient, StatusLineWithoutANumberIsAnError) {
    TLoopbackServer server(Answer("HELLO\r\n\r\n"));
    TIdHTTP http;
    const EIdHTTPProtocolException error = ExpectProtocolError(http, server.URL());
    EXPECT_STREQ(error.what(), "HELLO");
    EXPECT_EQ(error.ErrorCode(), -1);
}

TEST(HttpClient, ServerClosingBeforeTheStatusLineEndsGracefully) {
    TLoopbackServer server(Answer(""));
    TIdHTTP http;
    EXPECT_THROW(http.Get(server.URL()), EIdConnClosedGracefully);
}

TEST(HttpClient, OversizedAnswersAreRefused) {
    struct TCase {
        const char* Name;
        std::string Response;
        const char* ExpectedMessage;
    };
    std::string manyHeaders = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 256; ++i) manyHeaders += "X-" + std::to_string(i) + ": y\r\n";
    std::string largeHeaders = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 70; ++i) largeHeaders += "X: " + std::string(1000, 'y') + "\r\n";
    const TCase cases[] = {
        {"status line", "HTTP/1.1 200 " + std::string(20000, 'O') + "\r\n\r\n", "Max line length exceeded."},
        {"header lines", manyHeaders + "\r\n", "Too many header lines."},
        {"header bytes", largeHeaders + "\r\n", "Header lines too long in all."},
    };
    for (const TCase& oversized : cases) {
        TLoopbackServer server(AnswerAndHold(oversized.Response));
        TIdHTTP http;
        try {
            http.Get(server.URL());
            ADD_FAILURE() << oversized.Name << ": accepted";
        } catch (const EIdException& error) {
            EXPECT_STREQ(error.what(), oversized.ExpectedMessage) << oversized.Name;
        }
        EXPECT_FALSE(http.Connected()) << oversized.Name;
    }
}

TEST(HttpClient, MalformedChunkSizesAreRefused) {
    for (const char* size : {"zz", "-3", "1 0", "", "0x10", "10000000000000000"}) {
        TLoopbackServer server(AnswerAndHold(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") +
                                             size + "\r\nabc\r\n0\r\n\r\n"));
        TIdHTTP http;
        EXPECT_THROW(http.Get(server.URL()), EIdHTTPInvalidChunkSize) << "size line \"" << size << "\"";
    }
}

TEST(HttpClient, KeptAliveConnectionIsReusedUnlessTheServerSaysClose) {
    auto twoAnswers = [](const char* firstConnection) {
        return [firstConnection](TScriptedConnection& connection) {
            connection.ReadRequest();
            connection.Send(std::string("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n") + firstConnection + "\r\n1");
            if (connection.ReadRequest().empty()) return;
            connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n2");
            connection.HoldUntilStopped();
        };
    };
    TLoopbackServer keptAlive(twoAnswers(""));
    TIdHTTP http;
    EXPECT_EQ(http.Get(keptAlive.URL()), "1");
    EXPECT_EQ(http.Get(keptAlive.URL()), "2");
    EXPECT_EQ(keptAlive.Accepted(), 1);

    TLoopbackServer closing(twoAnswers("Connection: close\r\n"));
    TIdHTTP another;
    EXPECT_EQ(another.Get(closing.URL()), "1");
    EXPECT_FALSE(another.Connected());
    EXPECT_EQ(another.Get(closing.URL()), "1");
    EXPECT_EQ(closing.Accepted(), 2);
}

TEST(HttpClient, SchemeWithoutKnownPortIsUnknownProtocol) {
    TIdHTTP http;
    EXPECT_EQ(MessageOf<EIdUnknownProtocol>([&] { http.Get("ftp://127.0.0.1/file.txt"); }), "Unknown Protocol");
}

TEST(HttpClient, RequestTimeoutBoundsAServerThatTrickles) {
    TLoopbackServer server([](TScriptedConnection& connection) {
        connection.ReadRequest();
        connection.Send("HTTP/1.1 200 OK\r\n\r\n");
        while (connection.Pause(20)) connection.Send("x");
    });
    TIdHTTP http;
    http.SetReadTimeout(1000);
    http.SetRequestTimeout(300);
    // Without the request timeout the trickle never ends; sleeps never
    // return early, so the lower bound holds on any machine.
    const auto start = TClock::now();
    EXPECT_THROW(http.Get(server.URL()), EIdReadTimeout);
    EXPECT_GE(MillisecondsSince(start), 290);
    EXPECT_LT(MillisecondsSince(start), LongWait);
}
