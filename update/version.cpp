#include "update/version.h"

std::string CurrentVersion;

void LoadCurrentVersion() { CurrentVersion = "1.0"; }

std::string BuiltInUpdateHost() { return TW_UPDATE_HOST; }

std::string VersionReport(const std::string& program) {
    const std::string host = BuiltInUpdateHost();
    return program + " " + TW_VERSION + "\n" +
           (host.empty() ? std::string("Update check: none (built without an update host)\n")
                         : "Update check: http://" + host + "/\n");
}
