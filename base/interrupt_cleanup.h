#pragma once
// Temporary files that an interrupted run must not leave behind. A path
// registered here is removed when the process gets SIGINT, SIGTERM or SIGHUP;
// the signal then takes its usual course (the previous handler runs, or the
// process ends by that signal). The handler only walks a fixed table and
// calls unlink, both safe inside a signal handler.

#include <string>

// Registers path; returns its slot, or -1 when the table is full or the path
// too long (the file is then only removed by its owner, as before).
int RegisterInterruptCleanup(const std::string& path);
// Forgets the slot (after the file was renamed into place or removed).
void UnregisterInterruptCleanup(int slot);
