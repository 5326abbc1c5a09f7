#include "app/hidden_modes.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>

THiddenMode ParseHiddenMode(const QStringList& arguments) {
    THiddenMode mode;
    if (arguments.size() == 2 && arguments[1] == "--quit-when-shown") {
        mode.Kind = THiddenMode::TKind::QuitWhenShown;
    } else if (arguments.size() == 4 && arguments[1] == "--screenshot") {
        mode.Kind = THiddenMode::TKind::Screenshot;
        mode.Picture = arguments[2].toStdString();
        mode.Output = arguments[3].toStdString();
    }
    return mode;
}

std::shared_ptr<TScriptedDialogs> PrepareHiddenMode(const THiddenMode& mode, TTintwrightServices& services) {
    if (mode.Kind == THiddenMode::TKind::None) return nullptr;
    services.CheckForUpdates = nullptr;
    if (mode.Kind != THiddenMode::TKind::Screenshot) return nullptr;
    auto dialogs = std::make_shared<TScriptedDialogs>();
    dialogs->AnswerOpenFile(mode.Picture);
    SetDialogs(dialogs);
    return dialogs;
}

namespace {

// Runs events until the window is on screen and painted (at most 5 s).
bool WaitUntilPainted(TTintwright& window) {
    const QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (window.windowHandle() != nullptr && window.windowHandle()->isExposed()) {
            window.repaint();
            QCoreApplication::processEvents();
            return true;
        }
    }
    return false;
}

int SaveScreenshot(const THiddenMode& mode, TTintwright& window, TScriptedDialogs& dialogs) {
    window.btnLoadImage->click();
    for (const TScriptedDialogs::TShown& shown : dialogs.Shown()) std::fprintf(stderr, "%s\n", shown.Text.c_str());
    if (!dialogs.Errors().empty() || !WaitUntilPainted(window)) return 1;
    // What the display shows, frame included where a window manager draws one.
    QPixmap shot = window.screen()->grabWindow(window.winId());
    if (shot.isNull()) shot = window.grab();
    return shot.save(QString::fromStdString(mode.Output), "PNG") ? 0 : 1;
}

}  // namespace

int RunHiddenMode(const THiddenMode& mode, TTintwright& window, TScriptedDialogs* dialogs) {
    switch (mode.Kind) {
        case THiddenMode::TKind::QuitWhenShown:
            return WaitUntilPainted(window) ? 0 : 1;
        case THiddenMode::TKind::Screenshot:
            return dialogs != nullptr ? SaveScreenshot(mode, window, *dialogs) : 1;
        case THiddenMode::TKind::None:
            break;
    }
    return 0;
}
