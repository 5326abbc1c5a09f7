// Pictures that reach the window without its load button: a file named on
// the command line, a file dropped onto the window.

#include <filesystem>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QTimer>

#include "app/dropped_file.h"
#include "app/main_window.h"
#include "ui/application.h"

void TTintwright::OpenLater(const std::string& fileName) {
    // The dialog hands on absolute paths; a name given relative to the
    // current directory is made one the same way.
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(fileName, error);
    if (error) path = fileName;
    QTimer::singleShot(0, this, [this, chosen = path.lexically_normal().string()] {
        try {
            openDialog.Choose(chosen);
            LoadChosenFile();
        } catch (...) {
            ShowCurrentException();
        }
    });
}

void TTintwright::dragEnterEvent(QDragEnterEvent* event) {
    if (SingleLocalFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TTintwright::dragMoveEvent(QDragMoveEvent* event) {
    if (SingleLocalFile(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TTintwright::dropEvent(QDropEvent* event) {
    const std::optional<std::string> file = SingleLocalFile(event->mimeData());
    if (!file) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Loaded after the drop has ended, so that the program the file came
    // from is not kept waiting while a message box is open.
    OpenLater(*file);
}
