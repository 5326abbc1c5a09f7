#pragma once
// Dialogs that show nothing: answers for the file-open dialog are queued in
// advance, and every message and error report is recorded. Tests use it, and
// so does the program's screenshot mode.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs.h"

class TScriptedDialogs : public IDialogs {
public:
    enum class TKind { Message, Error };
    struct TShown {
        TKind Kind;
        std::string Title;
        std::string Text;
    };

    // The next OpenFile returns `answer`; nothing queued means a cancel.
    void AnswerOpenFile(std::optional<std::string> answer) { FAnswers.push_back(std::move(answer)); }

    std::optional<std::string> OpenFile(const std::string& initialFile, const std::string& initialFolder) override;
    void ShowMessage(const std::string& title, const std::string& text) override;
    void ShowError(const std::string& title, const std::string& text) override;

    // The file each OpenFile started with, in order, and the folder.
    const std::vector<std::string>& OpenFileStarts() const { return FOpenFileStarts; }
    const std::vector<std::string>& OpenFolderStarts() const { return FOpenFolderStarts; }
    const std::vector<TShown>& Shown() const { return FShown; }
    std::vector<std::string> Errors() const;
    std::vector<std::string> Messages() const;
    void Clear() { FShown.clear(); }

    // Called as each box would be shown, so that a caller can look at the
    // program's state at that moment.
    std::function<void(const TShown&)> OnShow;

private:
    void Record(TShown shown);

    std::deque<std::optional<std::string>> FAnswers;
    std::vector<std::string> FOpenFileStarts;
    std::vector<std::string> FOpenFolderStarts;
    std::vector<TShown> FShown;
};
