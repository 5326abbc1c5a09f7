#pragma once
// The seam for what tests must neither show nor start: the file-open dialog,
// message boxes and error reports. The program installs the Qt dialogs; tests
// install a scripted stand-in that records what would have been shown.

#include <memory>
#include <optional>
#include <string>

class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Asks for a file to open, starting at `initialFile`, or when that is
    // empty in `initialFolder` (empty too: the dialog's own choice); nothing
    // when cancelled.
    virtual std::optional<std::string> OpenFile(const std::string& initialFile, const std::string& initialFolder) = 0;
    // A modal box with the application title, no icon and "OK".
    virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
    // A modal box with the application title, the error icon and "OK".
    virtual void ShowError(const std::string& title, const std::string& text) = 0;
};

IDialogs& Dialogs();
// Installs the dialogs used from now on (the previous ones are released).
void SetDialogs(std::shared_ptr<IDialogs> dialogs);

// The window's file-open dialog: remembers the last chosen file and starts
// with it the next time. The folder of the chosen file is also kept in the
// user's settings, so that the first dialog of the next run starts there.
class TOpenDialog {
public:
    // True when a file was chosen; FileName() is then its path. A cancel
    // leaves FileName() as it was.
    bool Execute();
    const std::string& FileName() const { return FFileName; }
    void SetFileName(std::string fileName) { FFileName = std::move(fileName); }
    // What a choice in the dialog does: sets FileName() and remembers its
    // folder for later runs.
    void Choose(std::string fileName);

private:
    std::string FFileName;
};
