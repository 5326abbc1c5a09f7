#include "ui/dialogs.h"

#include <QFileInfo>
#include <QSettings>

#include "ui/qt_dialogs.h"

namespace {

std::shared_ptr<IDialogs>& Installed() {
    static std::shared_ptr<IDialogs> dialogs = std::make_shared<TQtDialogs>();
    return dialogs;
}

// The user's settings of the program, in the desktop's configuration folder
// (tintwright/tintwright.conf there).
constexpr const char* FolderKey = "OpenDialog/Folder";

std::string RememberedFolder() {
    const QSettings settings("tintwright", "tintwright");
    return settings.value(FolderKey).toString().toStdString();
}

void RememberFolderOf(const std::string& fileName) {
    const QString folder = QFileInfo(QString::fromStdString(fileName)).absolutePath();
    QSettings settings("tintwright", "tintwright");
    settings.setValue(FolderKey, folder);
}

}  // namespace

IDialogs& Dialogs() { return *Installed(); }

void SetDialogs(std::shared_ptr<IDialogs> dialogs) {
    if (dialogs) Installed() = std::move(dialogs);
}

bool TOpenDialog::Execute() {
    std::optional<std::string> chosen = Dialogs().OpenFile(FFileName, FFileName.empty() ? RememberedFolder() : "");
    if (!chosen) return false;
    Choose(std::move(*chosen));
    return true;
}

void TOpenDialog::Choose(std::string fileName) {
    FFileName = std::move(fileName);
    if (!FFileName.empty()) RememberFolderOf(FFileName);
}
