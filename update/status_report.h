#pragma once
// What the update check shows of a server's status text. The server chooses
// that text; shown whole, a status line of many kilobytes becomes a message
// box taller than the screen. The report keeps its first characters and
// makes control characters visible as such.

#include <cstddef>
#include <string>

// The longest status text shown, in characters, before "…" marks the cut.
constexpr size_t MaxReportedStatusLength = 200;

// statusText (UTF-8) cut after MaxReportedStatusLength characters, "…"
// appended when cut; every control character other than the line break
// ("\r\n" or "\n") replaced by U+FFFD.
std::string ReportedStatusText(const std::string& statusText);
