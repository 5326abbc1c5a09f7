// The update check against a real HTTP server: the system's nginx, started
// on a free loopback port with a configuration of the test's own and a
// temporary folder as its document root, and stopped at the end.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "net/http/http_exceptions.h"
#include "tests/net/loopback_server.h"
#include "update/update_check.h"

namespace {

// A loopback port free a moment ago, for a server in another process that
// binds it itself (it takes no socket handed over). Another program may take
// the port in between; nginx then fails to start and the test fails with
// nginx's error log.
uint16_t FreeLoopbackPort() {
    uint16_t port = 0;
    close(BoundLoopbackSocket(port));
    return port;
}

constexpr const char* NginxBinary = "/usr/sbin/nginx";

class TNginx {
public:
    explicit TNginx(const std::string& versionText) : FPort(FreeLoopbackPort()) {
        char folder[] = "/tmp/tw-nginx-XXXXXX";
        FFolder = mkdtemp(folder);
        const std::filesystem::path file = FFolder / "www/Softwares/HueSmith/Version.txt";
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << versionText;
        WriteConfiguration();
        const std::string prefix = FFolder.string() + "/";
        const std::string configuration = (FFolder / "nginx.conf").string();
        const std::string errorLog = (FFolder / "error.log").string();
        const char* arguments[] = {NginxBinary,           "-p", prefix.c_str(),   "-c",
                                   configuration.c_str(), "-e", errorLog.c_str(), nullptr};
        if (posix_spawn(&FProcess, NginxBinary, nullptr, nullptr, const_cast<char**>(arguments), environ) != 0)
            FProcess = -1;
        WaitUntilListening();
    }
    ~TNginx() {
        if (FProcess > 0) Stop();
        std::filesystem::remove_all(FFolder);
    }
    TNginx(const TNginx&) = delete;
    TNginx& operator=(const TNginx&) = delete;

    bool Listening() const { return FListening; }
    std::string URL(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(FPort) + path; }
    std::string ErrorLog() const {
        std::ifstream log(FFolder / "error.log");
        std::stringstream text;
        text << log.rdbuf();
        return text.str();
    }

private:
    void WriteConfiguration() const {
        const std::string folder = FFolder.string();
        std::ofstream conf(FFolder / "nginx.conf");
        conf << "daemon off;\nmaster_process off;\nworker_processes 1;\n";
        if (geteuid() == 0) conf << "user root;\n";
        conf << "pid " << folder << "/nginx.pid;\n"
             << "error_log " << folder << "/error.log;\n"
             << "events { worker_connections 16; }\n"
             << "http {\n"
             << "  access_log " << folder << "/access.log;\n"
             << "  client_body_temp_path " << folder << "/body;\n"
             << "  proxy_temp_path " << folder << "/proxy;\n"
             << "  types { text/plain txt; }\n"
             << "  default_type application/octet-stream;\n"
             << "  server { listen 127.0.0.1:" << FPort << "; root " << folder << "/www; }\n"
             << "}\n";
    }

    void WaitUntilListening() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (FProcess > 0 && std::chrono::steady_clock::now() < end) {
            const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(FPort);
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            FListening = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
            close(probe);
            if (FListening || waitpid(FProcess, nullptr, WNOHANG) != 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    void Stop() {
        kill(FProcess, SIGTERM);
        for (int wait = 0; wait < 150; ++wait) {
            if (waitpid(FProcess, nullptr, WNOHANG) != 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(FProcess, SIGKILL);
        waitpid(FProcess, nullptr, 0);
    }

    uint16_t FPort;
    std::filesystem::path FFolder;
    pid_t FProcess = -1;
    bool FListening = false;
};

}  // namespace

TEST(UpdateCheckWithNginx, PublishedVersionDecidesThePanelAndAMissingFileIsReported) {
    if (access(NginxBinary, X_OK) != 0) GTEST_SKIP() << NginxBinary << " is not installed";
    for (const auto& [published, expectVisible] : {std::pair{"1.0", false}, std::pair{"1.1", true}}) {
        TNginx nginx(published);
        ASSERT_TRUE(nginx.Listening()) << nginx.ErrorLog();
        TUpdateServer server;
        server.URL = nginx.URL("/Softwares/HueSmith/Version.txt");
        std::optional<bool> visible;
        CheckForUpdates(
            "1.0", [&](bool shown) { visible = shown; }, server);
        EXPECT_EQ(visible, expectVisible) << "published " << published;

        server.URL = nginx.URL("/Softwares/HueSmith/Missing.txt");
        try {
            CheckForUpdates(
                "1.0", [](bool) {}, server);
            ADD_FAILURE() << "a missing file was found";
        } catch (const EIdHTTPProtocolException& error) {
            EXPECT_STREQ(error.what(), "HTTP/1.1 404 Not Found");
        }
    }
}
