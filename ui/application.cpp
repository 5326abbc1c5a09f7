#include "ui/application.h"

#include <new>

#include <QWidget>

#include "base/exception.h"
#include "ui/dialogs.h"

std::string ApplicationTitleFromPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find('.');
    if (dot != std::string::npos) name.resize(dot);
    // Whole characters, not bytes: a name need not be ASCII.
    const QString title = QString::fromStdString(name);
    if (title.isEmpty()) return {};
    const qsizetype first = title.at(0).isHighSurrogate() && title.size() > 1 ? 2 : 1;
    return (title.left(first) + title.mid(first).toLower()).toStdString();
}

namespace {

std::string gTitle;

std::string MessageOf(const std::exception& error) {
    // The library's own text for this one names a type, not what happened.
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "Out of memory";
    return error.what();
}

// The message of the innermost exception of a nested chain, when not empty.
std::string InnermostMessage(const std::exception& error) {
    std::string message = MessageOf(error);
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& inner) {
        std::string innerMessage = InnermostMessage(inner);
        if (!innerMessage.empty()) message = innerMessage;
    } catch (...) {}
    return message;
}

// A message box starts a new line at CR LF; a lone LF does too.
std::string DisplayLines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        lines += text[i];
    }
    return lines;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The executable file itself, whatever name it was started by.
    std::string executable = applicationFilePath().toStdString();
    if (executable.empty() && argc > 0) executable = argv[0];
    FTitle = ApplicationTitleFromPath(executable);
    gTitle = FTitle;
    // Not the display name: Qt would append that to every window caption.
    setApplicationName(QString::fromStdString(FTitle));
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
    Dialogs().ShowError(ApplicationTitle(), DisplayLines(ErrorReportText(error)));
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

void ShowMessage(const std::string& text) { Dialogs().ShowMessage(ApplicationTitle(), DisplayLines(text)); }
