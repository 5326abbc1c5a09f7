#include "ui/dialogs.h"

#include "ui/qt_dialogs.h"

namespace {
std::shared_ptr<IDialogs>& Installed() {
    static std::shared_ptr<IDialogs> dialogs = std::make_shared<TQtDialogs>();
    return dialogs;
}
}  // namespace

IDialogs& Dialogs() { return *Installed(); }

void SetDialogs(std::shared_ptr<IDialogs> dialogs) {
    if (dialogs) Installed() = std::move(dialogs);
}

bool TOpenDialog::Execute() {
    std::optional<std::string> chosen = Dialogs().OpenFile(FFileName);
    if (!chosen) return false;
    FFileName = std::move(*chosen);
    return true;
}
