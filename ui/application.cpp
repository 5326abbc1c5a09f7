#include "ui/application.h"

#include <cctype>

#include <QWidget>

#include "base/exception.h"
#include "ui/dialogs.h"

std::string ApplicationTitleFromPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    std::string title = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = title.find('.');
    if (dot != std::string::npos) title.resize(dot);
    for (size_t i = 1; i < title.size(); ++i)
        title[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(title[i])));
    return title;
}

namespace {

std::string gTitle;

// The message of the innermost exception of a nested chain, when not empty.
std::string InnermostMessage(const std::exception& error) {
    std::string message = error.what();
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& inner) {
        std::string innerMessage = InnermostMessage(inner);
        if (!innerMessage.empty()) message = innerMessage;
    } catch (...) {
    }
    return message;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    FTitle = ApplicationTitleFromPath(argc > 0 ? argv[0] : "");
    gTitle = FTitle;
    setApplicationName(QString::fromStdString(FTitle));
    setApplicationDisplayName(QString::fromStdString(FTitle));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

std::string ApplicationTitle() { return gTitle; }

std::string ErrorReportText(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error) != nullptr) return "";
    return WithClosingPeriod(InnermostMessage(error));
}

void ShowException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    Dialogs().ShowError(ApplicationTitle(), ErrorReportText(error));
}

void ShowCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        Dialogs().ShowError(ApplicationTitle(), "Unknown error.");
    }
}

void ShowMessage(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    Dialogs().ShowMessage(ApplicationTitle(), lines);
}
