#include "app/core/file_revealer.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

std::string FileUri(const std::string& absolutePath) {
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char character : absolutePath) {
        const auto byte = static_cast<unsigned char>(character);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~' ||
                           byte == '/';
        if (plain) {
            uri += character;
        } else {
            uri += '%';
            uri += hexDigits[byte >> 4];
            uri += hexDigits[byte & 15];
        }
    }
    return uri;
}

namespace {

using TCommand = std::vector<std::string>;

std::vector<char*> ArgumentVector(TCommand& command) {
    std::vector<char*> arguments;
    for (std::string& argument : command) arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    return arguments;
}

// Runs in the detached process: each command in turn until one succeeds. Only
// calls that are safe after fork() in a threaded program.
[[noreturn]] void RunUntilOneSucceeds(const std::vector<std::vector<char*>>& commands) {
    for (const std::vector<char*>& arguments : commands) {
        const pid_t child = ::fork();
        if (child < 0) break;
        if (child == 0) {
            ::execvp(arguments[0], arguments.data());
            ::_exit(127);
        }
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0) ::_exit(0);
    }
    ::_exit(1);
}

}  // namespace

void TDesktopFileRevealer::Reveal(const std::string& absolutePath) {
    const std::string uri = FileUri(absolutePath);
    const std::string folder = absolutePath.substr(0, absolutePath.rfind('/') + 1);
    std::vector<TCommand> commands = {
        {"gdbus", "call", "--session", "--dest", "org.freedesktop.FileManager1", "--object-path",
         "/org/freedesktop/FileManager1", "--method", "org.freedesktop.FileManager1.ShowItems", "['" + uri + "']", ""},
        {"dbus-send", "--session", "--dest=org.freedesktop.FileManager1", "--type=method_call",
         "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1.ShowItems", "array:string:" + uri, "string:"},
        {"xdg-open", folder},
    };
    std::vector<std::vector<char*>> argumentVectors;
    for (TCommand& command : commands) argumentVectors.push_back(ArgumentVector(command));

    // Fork twice so that the helpers belong to no one: the first child starts
    // the worker and ends at once, which is all the caller waits for.
    const pid_t child = ::fork();
    if (child < 0) return;
    if (child == 0) {
        ::setsid();
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            ::dup2(devNull, STDIN_FILENO);
            ::dup2(devNull, STDOUT_FILENO);
            ::dup2(devNull, STDERR_FILENO);
        }
        if (::fork() == 0) RunUntilOneSucceeds(argumentVectors);
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}
