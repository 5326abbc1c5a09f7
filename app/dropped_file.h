#pragma once
// What may be dropped onto the window: exactly one file of the local file
// system. Several files, a folder, a remote address or plain text are not.

#include <optional>
#include <string>

class QMimeData;

// The path of the one local file that `data` carries; nothing otherwise.
std::optional<std::string> SingleLocalFile(const QMimeData* data);
