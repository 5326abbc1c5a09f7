#include "app/program_icon.h"

// The icons are resources of this library; naming them here keeps the
// linker from leaving them out of the programs that use it. (The macro
// declares a function, so it must not stand inside a namespace.)
static void LoadIconResources() { Q_INIT_RESOURCE(tintwright); }

QIcon ProgramIcon() {
    LoadIconResources();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/tintwright-%1.png").arg(size), QSize(size, size));
    return icon;
}
