#pragma once
// Asking the system's name service for an address.

#include <string>

// The first address that the name service gives for host in the address
// family (AF_INET or AF_INET6), as text. A failed lookup raises the socket
// error of its result. With timeoutMs > 0 the caller waits at most that long
// and gets EIdConnectTimeout "Connect timed out."; the lookup itself cannot
// be cancelled and ends unobserved in the background.
std::string LookupHostAddress(const std::string& host, int family, int timeoutMs);
