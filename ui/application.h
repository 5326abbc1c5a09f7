#pragma once
// The application object: its title, the error report for exceptions that
// escape an event handler, and ShowMessage.

#include <exception>
#include <string>

#include <QApplication>

// The title from the executable's path: the part after the last "/", cut
// before its first ".", every character but the first in lower case.
std::string ApplicationTitleFromPath(const std::string& path);

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    const std::string& Title() const { return FTitle; }

    // Exceptions escaping an event handler are reported here, where Qt
    // dispatches the event; the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::string FTitle;
};

// The title of the running application ("" before one exists).
std::string ApplicationTitle();

// The error report: drops silent aborts, takes the innermost non-empty message
// of a nested chain, applies the closing "." rule and shows a modal error box.
void ShowException(const std::exception& error);
// Reports whatever is currently being handled (call inside a catch block).
void ShowCurrentException();

// A modal box with the application title, no icon and "OK"; CR LF starts a
// new line.
void ShowMessage(const std::string& text);

// The text the error report shows for an exception ("" when dropped).
std::string ErrorReportText(const std::exception& error);
