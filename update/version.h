#pragma once
// The program's own version, the one the update check compares with the
// published version text, and the update server the build asks (if any).

#include <string>

// Empty until LoadCurrentVersion has run.
extern std::string CurrentVersion;

// Sets CurrentVersion to "1.0".
void LoadCurrentVersion();

// The host name of the update server fixed when building (CMake cache
// variable TW_UPDATE_HOST); empty when the build has none, the default.
std::string BuiltInUpdateHost();

// What `--version` prints for `program`: its name and version on the first
// line, then the update server it asks, or that it asks none.
std::string VersionReport(const std::string& program);
