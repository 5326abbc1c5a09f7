// The update check against scripted loopback servers.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "net/http/http.h"
#include "net/http/http_exceptions.h"
#include "tests/net/loopback_io_handler.h"
#include "tests/net/loopback_server.h"
#include "tests/net/test_helpers.h"
#include "update/status_report.h"
#include "update/update_check.h"
#include "update/version.h"

namespace {

using TClock = TTestClock;

// Where a test's checks go, with limits short enough for a test.
TUpdateServer TestServer(const std::string& url) {
    TUpdateServer server;
    server.URL = url;
    server.ConnectTimeout = 300;
    server.ReadTimeout = 300;
    server.TotalTimeout = 1000;
    return server;
}

// The panel's state after a check against a server that answers response;
// nothing when the check did not set it.
std::optional<bool> PanelAfterCheck(const std::string& response) {
    TLoopbackServer server(Answer(response));
    std::optional<bool> visible;
    LoadCurrentVersion();
    CheckForUpdates(
        CurrentVersion, [&](bool shown) { visible = shown; }, TestServer(server.URL()));
    return visible;
}

std::string Ok(const std::string& body, const std::string& contentType = "text/plain") {
    return "HTTP/1.1 200 OK\r\nContent-Type: " + contentType + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// The message of the exception a check raises, with the panel untouched.
template <typename TException>
std::string FailureOfCheck(const TUpdateServer& server) {
    bool panelTouched = false;
    const std::string message = MessageOf<TException>([&] {
        CheckForUpdates(
            "1.0", [&](bool) { panelTouched = true; }, server);
    });
    EXPECT_FALSE(panelTouched);
    return message;
}

}  // namespace

TEST(UpdateCheck, RequestForTheVersionURLIsExactlyFiveLines) {
    TLoopbackServer server(Answer(Ok("1.0")));
    TIdHTTP http;  // as the check makes it, but connected to the loopback server
    http.SetIOHandler(std::make_shared<TLoopbackIOHandler>(server.Port()));
    const std::string host = "updates.tintwright.example";
    http.Get(VersionURL(host));
    EXPECT_EQ(server.WaitForRequest(),
              "GET /Softwares/HueSmith/Version.txt HTTP/1.1\r\n"
              "Host: " +
                  host +
                  "\r\n"
                  "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                  "User-Agent: Mozilla/3.0 (compatible; Tintwright)\r\n"
                  "\r\n");
}

TEST(UpdateCheck, OnlyTheExactCurrentVersionHidesThePanel) {
    EXPECT_EQ(PanelAfterCheck(Ok("1.0")), false);
    for (const char* published : {"1.0\r\n", "1.0\n", "1.0 ", " 1.0", "1.00", "1.1", "1.0.0", ""})
        EXPECT_EQ(PanelAfterCheck(Ok(published)), true) << "published \"" << published << "\"";
}

TEST(UpdateCheck, ByteOrderMarkUnderPlainTextIsThreeMoreCharacters) {
    TLoopbackServer server(
        Answer(Ok("\xEF\xBB\xBF"
                  "1.0")));
    EXPECT_EQ(GetLatestVersion("Tintwright", TestServer(server.URL())),
              "\xC3\xAF\xC2\xBB\xC2\xBF"
              "1.0");
    EXPECT_EQ(PanelAfterCheck(Ok("\xEF\xBB\xBF"
                                 "1.0")),
              true);
}

TEST(UpdateCheck, ErrorStatusesReportTheStatusLineAndAreNotFollowed) {
    TLoopbackServer missing(Answer("HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\ngone."));
    EXPECT_EQ(FailureOfCheck<EIdHTTPProtocolException>(TestServer(missing.URL())), "HTTP/1.1 404 Not Found");

    TLoopbackServer elsewhere(Answer(Ok("1.0")));
    TLoopbackServer moved(Answer("HTTP/1.1 301 Moved Permanently\r\nLocation: " + elsewhere.URL() + "\r\n\r\n"));
    EXPECT_EQ(FailureOfCheck<EIdHTTPProtocolException>(TestServer(moved.URL())), "HTTP/1.1 301 Moved Permanently");
    EXPECT_EQ(moved.Requests().size(), 1u);
    EXPECT_EQ(elsewhere.Accepted(), 0);
}

// The server chooses its status line: the report shows its first 200
// characters and no control character but the line break.
TEST(UpdateCheck, StatusLineInTheReportIsCutAndMadeVisible) {
    const std::string status = "HTTP/1.1 500 " + std::string(14 * 1024, 'O');
    TLoopbackServer verbose(Answer(status + "\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(FailureOfCheck<EIdHTTPProtocolException>(TestServer(verbose.URL())), status.substr(0, 200) + "\u2026");

    TLoopbackServer noisy(
        Answer("HTTP/1.1 500 A\x07"
               "B\tC\x1B[2J\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(FailureOfCheck<EIdHTTPProtocolException>(TestServer(noisy.URL())),
              "HTTP/1.1 500 A\uFFFDB\uFFFDC\uFFFD[2J");
}

TEST(StatusReport, CountsCharactersAndKeepsLineBreaks) {
    const std::string fits(200, 'x');
    EXPECT_EQ(ReportedStatusText(fits), fits);
    EXPECT_EQ(ReportedStatusText(fits + "y"), fits + "\u2026");
    // Two-byte characters count once each and are never cut in half.
    std::string umlauts;
    for (int i = 0; i < 201; ++i) umlauts += "\u00FC";
    EXPECT_EQ(ReportedStatusText(umlauts), umlauts.substr(0, 400) + "\u2026");
    EXPECT_EQ(ReportedStatusText("a\r\nb\nc\rd\x7F"), "a\r\nb\nc\uFFFDd\uFFFD");
}

TEST(UpdateCheck, UnreachableServersReportTheirSocketErrors) {
    TRefusingPort refusing;
    EXPECT_EQ(FailureOfCheck<EIdSocketError>(
                  TestServer(std::string("http://") + UnresolvableHost + "/Softwares/HueSmith/Version.txt")),
              "Socket Error # 11001\r\nHost not found.");
    EXPECT_EQ(FailureOfCheck<EIdSocketError>(TestServer("http://127.0.0.1:" + std::to_string(refusing.Port()) +
                                                        "/Softwares/HueSmith/Version.txt")),
              "Socket Error # 10061\r\nConnection refused.");
}

TEST(UpdateCheck, ServersThatDoNotAnswerCostNoMoreThanTheTimeLimits) {
    struct TCase {
        const char* Name;
        TLoopbackServer::TScript Script;
        const char* Message;
    };
    TFullListener unanswered;
    const TCase cases[] = {
        {"silent after connecting", [](TScriptedConnection& connection) { connection.HoldUntilStopped(); },
         "Read timed out."},
        {"silent after the headers",
         [](TScriptedConnection& connection) {
             connection.ReadRequest();
             connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n1");
             connection.HoldUntilStopped();
         },
         "Read timed out."},
        {"trickling",
         [](TScriptedConnection& connection) {
             connection.ReadRequest();
             connection.Send("HTTP/1.1 200 OK\r\n");
             while (connection.Pause(50)) connection.Send("X: y\r\n");
         },
         "Read timed out."},
    };
    for (const TCase& slow : cases) {
        TLoopbackServer server(slow.Script);
        const auto start = TClock::now();
        EXPECT_EQ(FailureOfCheck<EIdException>(TestServer(server.URL())), slow.Message) << slow.Name;
        // The check's limits total 1 s; the servers never end on their own.
        EXPECT_LT(MillisecondsSince(start), LongWait) << slow.Name;
    }
    const auto start = TClock::now();
    const std::string url = "http://127.0.0.1:" + std::to_string(unanswered.Port()) + "/";
    const std::string message = FailureOfCheck<EIdException>(TestServer(url));
    if (message != "Connect timed out.") GTEST_SKIP() << "this system accepts connections beyond a full backlog";
    EXPECT_LT(MillisecondsSince(start), LongWait);
}

TEST(UpdateCheck, VersionTextIsLimitedTo64KiB) {
    const std::string largest(64 * 1024, '9');
    TLoopbackServer fits(Answer(Ok(largest)));
    EXPECT_EQ(GetLatestVersion("Tintwright", TestServer(fits.URL())).size(), largest.size());

    for (const std::string& response : {Ok(largest + "9"), "HTTP/1.1 200 OK\r\n\r\n" + std::string(1 << 20, '9')}) {
        TLoopbackServer tooLarge(Answer(response));
        const std::string message = FailureOfCheck<EUpdateCheck>(TestServer(tooLarge.URL()));
        EXPECT_EQ(message.rfind("Error: ", 0), 0u) << message;
    }
    // An error status keeps its status line however long its body.
    TLoopbackServer hugeError(Answer("HTTP/1.1 500 Internal Server Error\r\n\r\n" + std::string(1 << 20, 'e')));
    EXPECT_EQ(FailureOfCheck<EIdHTTPProtocolException>(TestServer(hugeError.URL())),
              "HTTP/1.1 500 Internal Server Error");
}

TEST(UpdateCheck, WithoutHostThereIsNoURLAndNoRequest) {
    EXPECT_EQ(VersionURL(""), "");
    EXPECT_EQ(VersionURL("updates.example.org"), "http://updates.example.org/Softwares/HueSmith/Version.txt");
    const int64_t before = TIdStackUsage::Acquisitions();
    TUpdateServer none;
    none.URL = VersionURL("");
    EXPECT_EQ(FailureOfCheck<EUpdateCheck>(none), "Error: This build has no update server.");
    EXPECT_EQ(TIdStackUsage::Acquisitions(), before);
}

TEST(UpdateCheck, VersionReportNamesTheBuiltInServerOrNone) {
    const std::string host = BuiltInUpdateHost();
    const std::string server =
        host.empty() ? std::string("none (built without an update host)") : "http://" + host + "/";
    EXPECT_EQ(VersionReport("tintwright"), "tintwright 1.0\nUpdate check: " + server + "\n");
    EXPECT_EQ(VersionURL(), VersionURL(host));
}
