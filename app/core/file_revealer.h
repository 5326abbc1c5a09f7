#pragma once
// Showing a written file to the user in the desktop's file manager. Behind an
// interface so that tests record the request instead of starting anything.

#include <string>

class IFileRevealer {
public:
    virtual ~IFileRevealer() = default;
    // Asks for the file (an absolute path) to be shown selected. Never fails
    // and never waits: a desktop without a file manager simply shows nothing.
    virtual void Reveal(const std::string& absolutePath) = 0;
};

// Asks the file manager over the session bus (the freedesktop FileManager1
// interface, through gdbus or dbus-send) to show the file selected, and when
// neither succeeds opens its folder with xdg-open. The helpers run in a
// detached process; the caller does not wait for them.
class TDesktopFileRevealer : public IFileRevealer {
public:
    void Reveal(const std::string& absolutePath) override;
};

// "file://" and the path with every byte but letters, digits, "-._~" and "/"
// percent-encoded.
std::string FileUri(const std::string& absolutePath);
