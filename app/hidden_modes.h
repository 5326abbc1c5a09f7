#pragma once
// Three start-up modes that scripts use and users never see (the options users
// see are in app/start_options.h). Both ask no update server, as a build
// without one does, so they reach no network.
//
//   --quit-when-shown            quits as soon as the window has been shown
//                                and painted (start-up time measurements)
//   --screenshot PICTURE OUTPUT  loads PICTURE through the load button, with a
//                                scripted stand-in for the file dialog, and
//                                saves the window as it is on screen to OUTPUT
//   --screenshot-open-dialog PICTURE OUTPUT
//                                shows the real open dialog with PICTURE
//                                selected and its preview, and saves the
//                                dialog as it is on screen to OUTPUT

#include <memory>
#include <string>

#include <QStringList>

#include "app/main_window.h"
#include "ui/scripted_dialogs.h"

struct THiddenMode {
    enum class TKind { None, QuitWhenShown, Screenshot, OpenDialogShot };
    TKind Kind = TKind::None;
    std::string Picture;
    std::string Output;
};

THiddenMode ParseHiddenMode(const QStringList& arguments);

// Before the window is made: no update server; for a screenshot, scripted
// dialogs answering PICTURE (installed, and returned).
std::shared_ptr<TScriptedDialogs> PrepareHiddenMode(const THiddenMode& mode, TTintwrightServices& services);

// After the window is made and shown: the mode's work; the program's exit code.
int RunHiddenMode(const THiddenMode& mode, TTintwright& window, TScriptedDialogs* dialogs);
