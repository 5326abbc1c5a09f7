#include "app/hidden_modes.h"

#include <cstdio>

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

THiddenMode ParseHiddenMode(const QStringList& arguments) {
    THiddenMode mode;
    if (arguments.size() == 2 && arguments[1] == "--quit-when-shown") {
        mode.Kind = THiddenMode::TKind::QuitWhenShown;
    } else if (arguments.size() == 4 &&
               (arguments[1] == "--screenshot" || arguments[1] == "--screenshot-open-dialog")) {
        mode.Kind =
            arguments[1] == "--screenshot" ? THiddenMode::TKind::Screenshot : THiddenMode::TKind::OpenDialogShot;
        mode.Picture = arguments[2].toStdString();
        mode.Output = arguments[3].toStdString();
    }
    return mode;
}

std::shared_ptr<TScriptedDialogs> PrepareHiddenMode(const THiddenMode& mode, TTintwrightServices& services) {
    if (mode.Kind == THiddenMode::TKind::None) return nullptr;
    services.CheckForUpdates = WithoutUpdateServer();
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

// What the display shows, frame included where a window manager draws one.
bool SaveAsShown(QWidget& widget, const std::string& output) {
    QPixmap shot = widget.screen()->grabWindow(widget.winId());
    if (shot.isNull()) shot = widget.grab();
    return shot.save(QString::fromStdString(output), "PNG");
}

int SaveScreenshot(const THiddenMode& mode, TTintwright& window, TScriptedDialogs& dialogs) {
    window.btnLoadImage->click();
    for (const TScriptedDialogs::TShown& shown : dialogs.Shown()) std::fprintf(stderr, "%s\n", shown.Text.c_str());
    if (!dialogs.Errors().empty() || !WaitUntilPainted(window)) return 1;
    return SaveAsShown(window, mode.Output) ? 0 : 1;
}

// The dialog is modal, so it is looked for from a timer running in its own
// event loop; the file list fills in the background, so it is given a second
// once it is on screen.
int SaveOpenDialogShot(const THiddenMode& mode, TTintwright& window) {
    if (!WaitUntilPainted(window)) return 1;
    int status = 1;
    int exposedTicks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog->windowHandle() == nullptr || !dialog->windowHandle()->isExposed()) return;
        // Wide enough for the file list's columns beside the preview.
        if (++exposedTicks == 1) dialog->resize(760, 440);
        if (exposedTicks < 10) return;
        poll.stop();
        status = SaveAsShown(*dialog, mode.Output) ? 0 : 1;
        dialog->reject();
    });
    poll.start(100);
    window.openDialog.SetFileName(mode.Picture);
    window.openDialog.Execute();
    return status;
}

}  // namespace

int RunHiddenMode(const THiddenMode& mode, TTintwright& window, TScriptedDialogs* dialogs) {
    switch (mode.Kind) {
    case THiddenMode::TKind::QuitWhenShown: return WaitUntilPainted(window) ? 0 : 1;
    case THiddenMode::TKind::Screenshot: return dialogs != nullptr ? SaveScreenshot(mode, window, *dialogs) : 1;
    case THiddenMode::TKind::OpenDialogShot: return SaveOpenDialogShot(mode, window);
    case THiddenMode::TKind::None: break;
    }
    return 0;
}
