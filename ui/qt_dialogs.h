#pragma once
// The dialogs of the real program, shown with Qt.

#include "ui/dialogs.h"
#include "ui/preview_loader.h"

class TQtDialogs : public IDialogs {
public:
    std::optional<std::string> OpenFile(const std::string& initialFile, const std::string& initialFolder) override;
    void ShowMessage(const std::string& title, const std::string& text) override;
    void ShowError(const std::string& title, const std::string& text) override;

    // Decodes a file for the open dialog's preview pane, on a worker thread;
    // set by the program so the preview uses its own readers.
    static void SetPreviewDecoder(TPreviewDecoder decoder);
};
