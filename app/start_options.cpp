#include "app/start_options.h"

const char* const WindowUsageText =
    "Usage: tintwright [PICTURE]\n"
    "\n"
    "Shows the window that turns a picture into a colour palette. PICTURE (BMP,\n"
    "PNG, JPG/JPEG, GIF, TIF/TIFF) is loaded once the window is shown, as if it\n"
    "had been chosen with \"Load Source Image\".\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and the update server, and exit\n";

TStartOptions ParseStartOptions(const std::vector<std::string>& arguments) {
    TStartOptions options;
    std::vector<std::string> pictures;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;  // what a file manager passes for no file
        if (optionsEnded || argument[0] != '-' || argument == "-") {
            pictures.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--version") {
            options.Kind = TStartOptions::TKind::Version;
            return options;
        } else if (argument == "-h" || argument == "--help") {
            options.Kind = TStartOptions::TKind::Help;
            return options;
        } else {
            options.Kind = TStartOptions::TKind::Problem;
            options.Problem = "unknown option '" + argument + "'";
            return options;
        }
    }
    if (pictures.size() > 1) {
        options.Kind = TStartOptions::TKind::Problem;
        options.Problem = "only one picture at a time";
    } else if (pictures.size() == 1) {
        options.Picture = pictures.front();
    }
    return options;
}
