#include "app/main_window.h"

#include "analysis/distinct_colors.h"
#include "app/gradient.h"
#include "app/program_icon.h"
#include "ui/application.h"
#include "update/version.h"

TUpdateChecker UpdateCheckerFor(TUpdateServer server) {
    return [server = std::move(server)](const std::string& currentVersion,
                                        const std::function<void(bool)>& setUpdatePanelVisible) {
        ::CheckForUpdates(currentVersion, setUpdatePanelVisible, server);
    };
}

TUpdateChecker WithoutUpdateServer() {
    return [](const std::string&, const std::function<void(bool)>& setUpdatePanelVisible) {
        setUpdatePanelVisible(false);
    };
}

TUpdateChecker BuiltInUpdateChecker() {
    return BuiltInUpdateHost().empty() ? WithoutUpdateServer() : UpdateCheckerFor();
}

TTintwright::TTintwright(TTintwrightServices services) : FServices(std::move(services)) {
    if (!FServices.Revealer) FServices.Revealer = std::make_shared<TDesktopFileRevealer>();
    CreateControls();
    setWindowIcon(ProgramIcon());
    // Reported before the window is first shown; the window comes up anyway.
    try {
        FormCreate();
    } catch (...) {
        ShowCurrentException();
    }
    setAcceptDrops(true);
    show();
    activateWindow();
    // Keyboard users start on the first button and see that it has the focus.
    btnLoadImage->setFocus(Qt::TabFocusReason);
    setAttribute(Qt::WA_KeyboardFocusChange);
}

TTintwright::~TTintwright() { FormDestroy(); }

void TTintwright::FormCreate() {
    DecodedBitmap = std::make_unique<TBitmap>();
    BMP32 = std::make_unique<TBitmap32>();
    StandardBMP = std::make_unique<TBitmap>();
    PaletteBmp = std::make_unique<TBitmap32>();
    UpdateGradient();
    LoadCurrentVersion();
    CheckForUpdates();
    imgSource->BringToFront();
}

void TTintwright::FormDestroy() {
    DecodedBitmap.reset();
    BMP32.reset();
    StandardBMP.reset();
    PaletteBmp.reset();
    SampleBMP.reset();
}

void TTintwright::UpdateGradient() {
    TBitmap gradientBmp;
    PaintGradient(gradientBmp, width(), height());
    ImageGradient->Picture().Bitmap().Assign(&gradientBmp);
    ImageGradient->SetAlignClient(true);
    ImageGradient->SendToBack();
}

void TTintwright::CheckForUpdates() {
    if (!FServices.CheckForUpdates) return;
    FServices.CheckForUpdates(CurrentVersion, [this](bool visible) { PanelUpdate->setVisible(visible); });
}

void TTintwright::CountDistinctColors(const TBitmap32& bmp) {
    const std::optional<int64_t> count = ::CountDistinctColors(bmp);
    if (!count) {
        ShowMessage(InvalidBitmap32Message);
        return;
    }
    PanelColorCount->SetCaption(DistinctColorsCaption(*count));
}
