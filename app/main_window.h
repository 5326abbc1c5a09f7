#pragma once
// The main window: its layout, the start-up work of FormCreate, and the
// handlers of its two buttons. Each handler hands the work to the window-free
// roads of app/core and only shows the result.

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "app/core/file_revealer.h"
#include "pictures/bitmap.h"
#include "pixels/bitmap32.h"
#include "ui/controls.h"
#include "ui/dialogs.h"
#include "ui/image_control.h"
#include "update/update_check.h"

// The update check of FormCreate: compares the published version with
// currentVersion and shows or hides the update panel through
// setUpdatePanelVisible; failures are exceptions.
using TUpdateChecker = std::function<void(const std::string& currentVersion,
                                          const std::function<void(bool visible)>& setUpdatePanelVisible)>;

// The check against `server` (by default the build's update server).
TUpdateChecker UpdateCheckerFor(TUpdateServer server = {});

// A build without an update server asks nothing and hides the update panel:
// no published version is known, so there is nothing to announce.
TUpdateChecker WithoutUpdateServer();

// The check of this build: against its update server, or WithoutUpdateServer()
// when it was built without one (the default).
TUpdateChecker BuiltInUpdateChecker();

// What the window reaches outside the program. The defaults are the real
// program's; tests and the hidden start-up modes replace them.
struct TTintwrightServices {
    // Empty: FormCreate skips the check and the update panel stays visible.
    TUpdateChecker CheckForUpdates = BuiltInUpdateChecker();
    std::shared_ptr<IFileRevealer> Revealer = std::make_shared<TDesktopFileRevealer>();
};

inline constexpr const char* MainWindowCaption = "Hue Smith V1.0 - colour palettes from pictures";

class TTintwright : public QWidget {
public:
    // Builds the layout, runs FormCreate (an exception from it is shown as
    // the error report first) and shows the window.
    explicit TTintwright(TTintwrightServices services = {});
    ~TTintwright() override;

    void FormCreate();
    void FormDestroy();
    void btnLoadImageClick();
    void btnGeneratePaletteClick();
    void UpdateGradient();
    void CheckForUpdates();
    // Shows the count of bmp's distinct colours on PanelColorCount, or the
    // message for an empty bitmap.
    void CountDistinctColors(const TBitmap32& bmp);

    // Loads fileName as if it had been chosen in the open dialog (same road,
    // same messages; the dialog starts with it next time), once the events
    // waiting now have been handled: the window shown, a drop ended. For a
    // file named on the command line or dropped onto the window.
    void OpenLater(const std::string& fileName);

    // The controls, owned by the window.
    TButton* btnLoadImage = nullptr;
    TButton* btnGeneratePalette = nullptr;
    TOpenDialog openDialog;
    TPanel* PanelColorCount = nullptr;
    TImage* imgSource = nullptr;
    TPanel* PanelUpdate = nullptr;
    TImage* ImageGradient = nullptr;

    // Created by FormCreate, released by FormDestroy.
    std::unique_ptr<TBitmap> DecodedBitmap;
    std::unique_ptr<TBitmap32> BMP32;
    std::unique_ptr<TBitmap> StandardBMP;
    std::unique_ptr<TBitmap32> PaletteBmp;
    // The sample of the last palette generation.
    std::unique_ptr<TBitmap32> SampleBMP;

protected:
    // One local file may be dropped onto the window; anything else is
    // refused while it is dragged, so the cursor says so before the drop.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    // The road of a picture after the open dialog: openDialog.FileName().
    void LoadChosenFile();
    void ShowLoadedPicture(std::unique_ptr<TBitmap> decoded, std::unique_ptr<TBitmap32> bmp32);

    TTintwrightServices FServices;
};
