#pragma once
// The palette tool's command line: tintwright-palette [--output-dir DIR] PICTURE

#include <string>
#include <vector>

struct TToolOptions {
    bool Help = false;
    bool Version = false;
    std::string OutputDirectory;  // empty: the current directory
    std::string Picture;
    std::string Problem;  // set when the command line is not usable
};

TToolOptions ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const UsageText;
