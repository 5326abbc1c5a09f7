#pragma once
// What users may put on the window's command line:
//
//   tintwright [PICTURE]     the window; PICTURE is loaded once it is shown
//   tintwright --version     the version and the update server, if any
//   tintwright --help

#include <string>
#include <vector>

struct TStartOptions {
    enum class TKind { Window, Version, Help, Problem };
    TKind Kind = TKind::Window;
    std::string Picture;  // empty: none
    std::string Problem;  // for TKind::Problem, what is wrong
};

// `arguments` without the program's own name.
TStartOptions ParseStartOptions(const std::vector<std::string>& arguments);

extern const char* const WindowUsageText;
