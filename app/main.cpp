// tintwright: the window that turns a picture into a colour palette.

#include <QIcon>

#include "app/hidden_modes.h"
#include "app/main_window.h"
#include "app/preview.h"
#include "ui/application.h"
#include "ui/qt_dialogs.h"

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    application.setWindowIcon(QIcon(":/MAINICON"));
    SetDialogs(std::make_shared<TQtDialogs>());
    TQtDialogs::SetPreviewDecoder(DecodePreview);

    const THiddenMode mode = ParseHiddenMode(QCoreApplication::arguments());
    TTintwrightServices services;  // the build's update server, the desktop's file manager
    const std::shared_ptr<TScriptedDialogs> scripted = PrepareHiddenMode(mode, services);

    TTintwright Tintwright(std::move(services));
    if (mode.Kind != THiddenMode::TKind::None) return RunHiddenMode(mode, Tintwright, scripted.get());
    return application.exec();
}
