#include "update/version.h"

std::string CurrentVersion;

void LoadCurrentVersion() {
    CurrentVersion = "1.0";
}
