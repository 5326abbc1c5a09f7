// The two buttons: load a picture, generate its palette.

#include "app/core/palette_generation.h"
#include "app/core/source_loading.h"
#include "app/main_window.h"
#include "ui/application.h"
#include "ui/busy_cursor.h"

void TTintwright::btnLoadImageClick() {
    if (!openDialog.Execute()) return;
    LoadChosenFile();
}

void TTintwright::LoadChosenFile() {
    if (!DecodedBitmap) throw Exception("Error: DecodedBitmap not initialized");
    TBusyCursor busy;
    // Decoded and converted aside, so that a failure at any step leaves the
    // shown picture, its count and the palette's source as they were.
    auto decoded = std::make_unique<TBitmap>();
    auto bmp32 = std::make_unique<TBitmap32>();
    if (LoadSourcePicture(openDialog.FileName(), *decoded, *bmp32) == TLoadOutcome::EmptyPicture) {
        busy.End();
        ShowMessage(EmptyPictureMessage);
        return;
    }
    ShowLoadedPicture(std::move(decoded), std::move(bmp32));
    busy.End();
    CountDistinctColors(*BMP32);
}

void TTintwright::ShowLoadedPicture(std::unique_ptr<TBitmap> decoded, std::unique_ptr<TBitmap32> bmp32) {
    // Drawn straight from the 32-bit pixels at the size shown: a full-size
    // copy for the control would cost as much memory as BMP32 itself and be
    // looked at only through its scaled-down rendition.
    imgSource->ShowPixels(bmp32->Bits(), bmp32->Width(), bmp32->Height());
    DecodedBitmap = std::move(decoded);
    BMP32 = std::move(bmp32);
    imgSource->BringToFront();
}

void TTintwright::btnGeneratePaletteClick() {
    TBusyCursor busy;
    const TBitmap32 noPicture;
    auto showMessage = [&busy](const std::string& text) {
        busy.End();
        ShowMessage(text);
    };
    // Into the current directory; the file manager is shown the palette file
    // that was written there.
    GeneratePalette(BMP32 ? *BMP32 : noPicture, SampleBMP, "", showMessage, *FServices.Revealer);
}
