#pragma once
// A URL taken apart: scheme, user, host, port, path, document, parameters
// and fragment, all as text.

#include <string>

#include "net/transport/stack.h"

struct TIdURI {
    TIdURI() = default;
    explicit TIdURI(const std::string& uri) { SetURI(uri); }

    // Fills every field from the text; fields the text lacks become empty.
    // A URL without "://" has no host: its path is kept as given, so that
    // a relative path can be told from an absolute one.
    void SetURI(const std::string& uri);

    std::string Protocol;
    std::string Username;
    std::string Password;
    std::string Host;
    std::string Port;
    std::string Path;                  // from the first "/" to the last one, inclusive
    std::string Document;              // what follows the path
    std::string Params;                // after "?", up to a "#"
    std::string Bookmark;              // after the first "#"
    TIdIPVersion IPVersion = Id_IPv4;  // IPv6 for a host in "[" "]"
};
