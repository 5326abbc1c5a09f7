#include "ui/scripted_dialogs.h"

std::optional<std::string> TScriptedDialogs::OpenFile(const std::string& initialFile,
                                                      const std::string& initialFolder) {
    FOpenFileStarts.push_back(initialFile);
    FOpenFolderStarts.push_back(initialFolder);
    if (FAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = std::move(FAnswers.front());
    FAnswers.pop_front();
    return answer;
}

void TScriptedDialogs::ShowMessage(const std::string& title, const std::string& text) {
    Record({TKind::Message, title, text});
}

void TScriptedDialogs::ShowError(const std::string& title, const std::string& text) {
    Record({TKind::Error, title, text});
}

void TScriptedDialogs::Record(TShown shown) {
    FShown.push_back(shown);
    if (OnShow) OnShow(shown);
}

std::vector<std::string> TScriptedDialogs::Errors() const {
    std::vector<std::string> texts;
    for (const TShown& shown : FShown)
        if (shown.Kind == TKind::Error) texts.push_back(shown.Text);
    return texts;
}

std::vector<std::string> TScriptedDialogs::Messages() const {
    std::vector<std::string> texts;
    for (const TShown& shown : FShown)
        if (shown.Kind == TKind::Message) texts.push_back(shown.Text);
    return texts;
}
