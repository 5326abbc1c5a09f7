#include "update/update_check.h"

#include "base/stream.h"
#include "net/http/http.h"
#include "net/http/http_exceptions.h"
#include "update/status_report.h"
#include "update/version.h"

namespace {

// Refuses to grow past the version-text limit, so that a server cannot make
// the program hold more than that whatever it sends.
class TVersionTextStream : public TMemoryStream {
public:
    size_t Write(const void* buffer, size_t count) override {
        if (Position() + static_cast<int64_t>(count) > MaxVersionTextSize)
            throw EUpdateCheck(Format("Error: The version text of the update server is larger than %lld KiB.",
                                      static_cast<long long>(MaxVersionTextSize / 1024)));
        return TMemoryStream::Write(buffer, count);
    }
};

}  // namespace

std::string VersionURL(const std::string& host) {
    if (host.empty()) return "";
    return "http://" + host + "/Softwares/HueSmith/Version.txt";
}

std::string GetLatestVersion(const std::string& /*softwareName*/, const TUpdateServer& server) {
    if (server.URL.empty()) throw EUpdateCheck("Error: This build has no update server.");
    TIdHTTP http;
    http.SetConnectTimeout(server.ConnectTimeout);
    http.SetReadTimeout(server.ReadTimeout);
    http.SetRequestTimeout(server.TotalTimeout);
    http.SetMaxErrorBodySize(MaxVersionTextSize);
    TVersionTextStream body;
    try {
        http.Get(server.URL, body);
    } catch (const EIdHTTPProtocolException& error) {
        throw EIdHTTPProtocolException(error.ErrorCode(), ReportedStatusText(error.Message()), error.ErrorMessage());
    }
    return ResponseBodyToText(http.Response(), body.Data());
}

void CheckForUpdates(const std::string& currentVersion, const std::function<void(bool visible)>& setUpdatePanelVisible,
                     const TUpdateServer& server) {
    const std::string latestVersion = GetLatestVersion("Tintwright", server);
    setUpdatePanelVisible(latestVersion != currentVersion);
}
