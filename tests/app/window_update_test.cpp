// The update check of the start-up against loopback servers the tests start;
// nothing leaves the machine.
#include "tests/app/window_test_support.h"
#include "tests/net/loopback_server.h"

namespace {

TUpdateServer LoopbackServer(uint16_t port) {
    TUpdateServer server;
    server.URL = "http://127.0.0.1:" + std::to_string(port) + "/Softwares/HueSmith/Version.txt";
    server.ConnectTimeout = 500;
    server.ReadTimeout = 500;
    server.TotalTimeout = 2000;
    return server;
}

std::string Ok(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

}  // namespace

TEST_F(WindowTest, UnreachableUpdateServerIsReportedBeforeTheWindowShows) {
    TRefusingPort refusing;
    auto window = MakeWindow(UpdateCheckerFor(LoopbackServer(refusing.Port())));
    EXPECT_EQ(FDialogs->Errors(), std::vector<std::string>{"Socket Error # 10061\nConnection refused."});
    EXPECT_EQ(FWindowShownAtBoxes, std::vector<bool>{false});
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->PanelUpdate->isVisible());

    // The steps before the check ran, and the window works as usual.
    EXPECT_EQ(window->ImageGradient->Picture().Width(), 583);
    FDialogs->Clear();
    Load(*window, TestPicture("bmpsuite/g/pal1.bmp"));
    EXPECT_EQ(window->PanelColorCount->Caption(), "Distinct Colors: 2");
}

TEST_F(WindowTest, OnlyThePublishedVersionOneZeroHidesTheUpdatePanel) {
    const struct {
        const char* Published;
        bool PanelVisible;
    } cases[] = {{"1.0", false}, {"1.0\r\n", true}, {"1.1", true}};
    for (const auto& row : cases) {
        TLoopbackServer server(Answer(Ok(row.Published)));
        auto window = MakeWindow(UpdateCheckerFor(LoopbackServer(server.Port())));
        EXPECT_TRUE(FDialogs->Shown().empty()) << row.Published;
        EXPECT_EQ(window->PanelUpdate->isVisible(), row.PanelVisible) << row.Published;
        EXPECT_EQ(server.Accepted(), 1) << row.Published;
    }
}
