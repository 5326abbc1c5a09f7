#pragma once
// The palette tool's run over its pictures: one picture as it has always
// run, several in parallel within the memory budget. Returns the exit status.

#include "app/palette_tool/command_line.h"

int RunPictures(const TToolOptions& options);
