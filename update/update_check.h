#pragma once
// The update check: one HTTP GET of the published version text, compared
// exactly with the program's own version to show or hide the update panel.
// It knows nothing of the window; the window hands in how to show the panel.
//
// How the window calls it, while it is created and before it is shown:
//
//     LoadCurrentVersion();
//     CheckForUpdates(CurrentVersion, [this](bool visible) { PanelUpdate->setVisible(visible); });
//
// The call blocks (at most about 30 s, see TUpdateServer). Every failure is
// an exception derived from Exception (base/exception.h): name not found,
// connection refused, time limits ("Connect timed out.", "Read timed out."),
// an error status (message: the server's status line, its first 200
// characters shown, see status_report.h), a version text over
// 64 KiB ("Error: ..."). The panel is then left as it was created, visible;
// the window shows the exception as its error report and starts all the
// same. The panel is touched only when an answer arrived.

#include <cstdint>
#include <functional>
#include <string>

#include "base/exception.h"
#include "update/version.h"

// The program's own failures of the check.
TW_DECLARE_EXCEPTION(EUpdateCheck, Exception);

// The URL of the published version text on `host`, by default the update
// server fixed when building; empty when there is no host.
std::string VersionURL(const std::string& host = BuiltInUpdateHost());

// Where the version text is asked for and how long that may take. The
// defaults are the program's; tests point URL at servers of their own.
struct TUpdateServer {
    std::string URL = VersionURL();
    int ConnectTimeout = 10000;  // ms for resolving the name and connecting
    int ReadTimeout = 10000;     // ms per wait for bytes from the server
    int TotalTimeout = 30000;    // ms for the whole request
};

// The largest version text accepted, in bytes.
constexpr int64_t MaxVersionTextSize = 64 * 1024;

// The published version text: the whole response body as text, nothing
// trimmed. softwareName names the asking program; the request does not
// depend on it.
std::string GetLatestVersion(const std::string& softwareName, const TUpdateServer& server = {});

// Fetches the published version and calls setUpdatePanelVisible(false) when
// it equals currentVersion exactly (case, blanks, line breaks and byte-order
// marks count), setUpdatePanelVisible(true) otherwise.
void CheckForUpdates(const std::string& currentVersion, const std::function<void(bool visible)>& setUpdatePanelVisible,
                     const TUpdateServer& server = {});
