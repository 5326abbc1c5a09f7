#include "app/palette_tool/command_line.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

// Options that take a value, as "--name VALUE" or "--name=VALUE".
struct TValueOption {
    const char* ShortName;  // may be null
    const char* LongName;
    const char* ValueName;
};
constexpr TValueOption ValueOptions[] = {
    {"-o", "--output-dir", "a directory"},
    {"-f", "--format", "a list of formats"},
    {nullptr, "--sort", "an order"},
    {"-j", "--jobs", "a number"},
};

const TValueOption* FindValueOption(const std::string& argument, std::string& inlineValue, bool& hasInline) {
    for (const TValueOption& option : ValueOptions) {
        const std::string longName = option.LongName;
        if (argument == longName || (option.ShortName && argument == option.ShortName)) {
            hasInline = false;
            return &option;
        }
        if (argument.rfind(longName + "=", 0) == 0) {
            inlineValue = argument.substr(longName.size() + 1);
            hasInline = true;
            return &option;
        }
    }
    return nullptr;
}

std::string ParseJobs(const std::string& text, unsigned& jobs) {
    if (text.empty() || text.size() > 4 || !std::all_of(text.begin(), text.end(), ::isdigit) || std::stoi(text) < 1)
        return "--jobs needs a number from 1 to 9999, not '" + text + "'";
    jobs = static_cast<unsigned>(std::stoi(text));
    return "";
}

std::string ApplyValue(const TValueOption& option, const std::string& value, TToolOptions& options) {
    const std::string name = option.LongName;
    if (name == "--output-dir") {
        options.OutputDirectory = value;
        return "";
    }
    if (name == "--format") return ParseFormatList(value, options.Outputs);
    if (name == "--jobs") return ParseJobs(value, options.Jobs);
    const auto order = PaletteOrderFromName(value);
    if (!order) return "unknown sort order '" + value + "' (luminosity, hue, count or first)";
    options.Order = *order;
    return "";
}

// Returns false when the argument is not a known flag.
bool ApplyFlag(const std::string& argument, TToolOptions& options) {
    if (argument == "-h" || argument == "--help")
        options.Help = true;
    else if (argument == "--version")
        options.Version = true;
    else if (argument == "--json-summary")
        options.JsonSummary = true;
    else
        return false;
    return true;
}

}  // namespace

std::string ParseFormatList(const std::string& list, TOutputSelection& selection) {
    TOutputSelection chosen;
    chosen.LuminosityValues = chosen.PaletteBitmap = false;
    std::istringstream items(list);
    std::string item;
    bool any = false;
    while (std::getline(items, item, ',')) {
        any = true;
        if (item == "txt") {
            chosen.LuminosityValues = true;
        } else if (item == "bmp") {
            chosen.PaletteBitmap = true;
        } else if (item == "png") {
            chosen.PalettePng = true;
        } else if (const auto format = SwatchFormatFromName(item)) {
            if (std::find(chosen.Swatches.begin(), chosen.Swatches.end(), *format) == chosen.Swatches.end())
                chosen.Swatches.push_back(*format);
        } else {
            return "unknown format '" + item + "' (bmp, txt, png, gpl, ase, aco, pal, hex, csv, json)";
        }
    }
    if (!any || list.back() == ',') return "--format needs a comma-separated list of formats";
    selection = chosen;
    return "";
}

TToolOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    TToolOptions options;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size() && options.Problem.empty(); ++i) {
        const std::string& argument = arguments[i];
        std::string value;
        bool hasInline = false;
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            options.Pictures.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (ApplyFlag(argument, options)) {
        } else if (const TValueOption* option = FindValueOption(argument, value, hasInline)) {
            if (!hasInline && i + 1 == arguments.size())
                options.Problem = "option '" + argument + "' needs " + option->ValueName;
            else
                options.Problem = ApplyValue(*option, hasInline ? value : arguments[++i], options);
        } else {
            options.Problem = "unknown option '" + argument + "'";
        }
    }
    if (options.Problem.empty() && !options.Help && !options.Version && options.Pictures.empty())
        options.Problem = "no picture given";
    return options;
}
