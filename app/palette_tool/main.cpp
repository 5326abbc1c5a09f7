// tintwright-palette [options] PICTURE...
//
// The window's road without the window: each picture decoded and converted,
// its distinct colours counted, its palette written as the chosen files. See
// UsageText for the options.

#include <iostream>

#include "app/palette_tool/batch.h"
#include "app/palette_tool/command_line.h"
#include "update/version.h"

int main(int argc, char** argv) {
    const TToolOptions options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.Problem.empty()) {
        std::cerr << "tintwright-palette: " << options.Problem << '\n'
                  << "Try 'tintwright-palette --help' for more information.\n";
        return 2;
    }
    if (options.Help) {
        std::cout << UsageText;
        return 0;
    }
    if (options.Version) {
        std::cout << VersionReport("tintwright-palette");
        return 0;
    }
    return RunPictures(options);
}
