#include "app/palette_tool/report.h"

#include <cstdio>
#include <ostream>

#include "analysis/text_encoding.h"

void PrintFailures(const TPictureResult& result, std::ostream& err) {
    for (const TFailure& failure : result.Failures)
        if (!failure.Message.empty()) err << "tintwright-palette: " << failure.Path << ": " << failure.Message << '\n';
    err.flush();
}

void PrintWritten(const TPictureResult& result, std::ostream& out) {
    for (const std::string& path : result.Written) out << path << '\n';
    out.flush();
}

std::string JsonSummaryLine(const TPictureResult& result) {
    std::string line = "{\"file\":";
    AppendJsonString(line, result.Picture);
    line += ",\"width\":" + std::to_string(result.Width) + ",\"height\":" + std::to_string(result.Height);
    line += ",\"distinct\":" + (result.Distinct < 0 ? std::string("null") : std::to_string(result.Distinct));
    line += ",\"written\":[";
    for (size_t i = 0; i < result.Written.size(); ++i) {
        if (i != 0) line += ',';
        AppendJsonString(line, result.Written[i]);
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", result.Seconds);
    line += std::string("],\"seconds\":") + seconds;
    if (!result.Succeeded()) {
        const TFailure& first = result.Failures.front();
        line += ",\"error\":";
        AppendJsonString(line, first.Message.empty() ? "Aborted." : first.Message);
        line += ",\"path\":";
        AppendJsonString(line, first.Path);
    }
    return line + "}\n";
}

std::string SummaryLine(size_t succeeded, size_t total) {
    return "Pictures: " + std::to_string(succeeded) + " of " + std::to_string(total) + " done, " +
           std::to_string(total - succeeded) + " failed.";
}
