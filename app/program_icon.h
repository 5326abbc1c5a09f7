#pragma once
// The program's icon, built into the program at every size that was drawn
// (16 to 256 pixels), so that the desktop picks the one it shows.

#include <QIcon>

QIcon ProgramIcon();
