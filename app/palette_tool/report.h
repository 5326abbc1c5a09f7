#pragma once
// What the palette tool prints about a picture: the usual lines for people,
// or one JSON line for scripts (--json-summary).

#include <iosfwd>
#include <string>

#include "app/palette_tool/picture_job.h"

// "tintwright-palette: PATH: MESSAGE" lines on err, one per failure with a
// message.
void PrintFailures(const TPictureResult& result, std::ostream& err);

// The written paths, one a line.
void PrintWritten(const TPictureResult& result, std::ostream& out);

// One line of JSON, newline included: file, width, height, distinct, written,
// seconds, and for a failure error and path.
std::string JsonSummaryLine(const TPictureResult& result);

// "Pictures: 2 of 3 done, 1 failed."
std::string SummaryLine(size_t succeeded, size_t total);
