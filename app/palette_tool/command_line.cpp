#include "app/palette_tool/command_line.h"

const char* const UsageText =
    "Usage: tintwright-palette [--output-dir DIR] PICTURE\n"
    "\n"
    "Counts the distinct colours of PICTURE (BMP, PNG, JPG/JPEG, GIF, TIF/TIFF,\n"
    "chosen by the file name's extension) and writes its palette, brightest\n"
    "colour first, as LuminosityValues.txt and Palette.bmp into DIR.\n"
    "\n"
    "Options:\n"
    "  -o, --output-dir DIR  where to write the two files (default: the current\n"
    "                        directory); existing files of those names are replaced\n"
    "  -h, --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "\n"
    "Prints \"Distinct Colors: \" and the count, then the paths of the two files.\n"
    "On failure prints the reason on standard error and exits with status 1\n"
    "(status 2 for a wrong command line).\n";

TToolOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    TToolOptions options;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            options.Help = true;
        } else if (argument == "--version") {
            options.Version = true;
        } else if (argument == "-o" || argument == "--output-dir") {
            if (i + 1 == arguments.size()) {
                options.Problem = "option '" + argument + "' needs a directory";
                return options;
            }
            options.OutputDirectory = arguments[++i];
        } else if (argument.rfind("--output-dir=", 0) == 0) {
            options.OutputDirectory = argument.substr(13);
        } else {
            options.Problem = "unknown option '" + argument + "'";
            return options;
        }
    }
    if (options.Help || options.Version) return options;
    if (operands.size() != 1)
        options.Problem = operands.empty() ? "no picture given" : "only one picture at a time";
    else
        options.Picture = operands[0];
    return options;
}
