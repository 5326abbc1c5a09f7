#pragma once
// The program's own version, the one the update check compares with the
// published version text.

#include <string>

// Empty until LoadCurrentVersion has run.
extern std::string CurrentVersion;

// Sets CurrentVersion to "1.0".
void LoadCurrentVersion();
