// tintwright: the window that turns a picture into a colour palette.

#include <iostream>

#include "app/hidden_modes.h"
#include "app/main_window.h"
#include "app/preview.h"
#include "app/program_icon.h"
#include "app/start_options.h"
#include "ui/application.h"
#include "ui/qt_dialogs.h"
#include "update/version.h"

namespace {

std::vector<std::string> ArgumentsOf(const QStringList& arguments) {
    std::vector<std::string> result;
    for (qsizetype i = 1; i < arguments.size(); ++i) result.push_back(arguments[i].toStdString());
    return result;
}

// The answer to a command line that asks for no window; the exit status.
int Answer(const TStartOptions& options) {
    switch (options.Kind) {
    case TStartOptions::TKind::Version: std::cout << VersionReport("tintwright"); return 0;
    case TStartOptions::TKind::Help: std::cout << WindowUsageText; return 0;
    case TStartOptions::TKind::Problem:
        std::cerr << "tintwright: " << options.Problem << "\nTry 'tintwright --help' for more information.\n";
        return 2;
    case TStartOptions::TKind::Window: break;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // --version and --help answer without a display, so before Qt starts.
    const TStartOptions early = ParseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (early.Kind == TStartOptions::TKind::Version || early.Kind == TStartOptions::TKind::Help) return Answer(early);

    TApplication application(argc, argv);
    application.setWindowIcon(ProgramIcon());
    // Lets the desktop match the window with the launcher's entry.
    QGuiApplication::setDesktopFileName("tintwright");
    SetDialogs(std::make_shared<TQtDialogs>());
    TQtDialogs::SetPreviewDecoder(DecodePreview);

    const THiddenMode mode = ParseHiddenMode(QCoreApplication::arguments());
    // Qt has taken its own options (-platform and the like) out by now.
    const TStartOptions options = mode.Kind == THiddenMode::TKind::None
                                      ? ParseStartOptions(ArgumentsOf(QCoreApplication::arguments()))
                                      : TStartOptions{};
    if (options.Kind != TStartOptions::TKind::Window) return Answer(options);
    TTintwrightServices services;  // the build's update server, the desktop's file manager
    const std::shared_ptr<TScriptedDialogs> scripted = PrepareHiddenMode(mode, services);

    TTintwright Tintwright(std::move(services));
    if (mode.Kind != THiddenMode::TKind::None) return RunHiddenMode(mode, Tintwright, scripted.get());
    if (!options.Picture.empty()) Tintwright.OpenLater(options.Picture);
    return application.exec();
}
