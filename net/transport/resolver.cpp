#include "net/transport/resolver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>

#include "net/transport/exceptions.h"
#include "net/transport/socket_errors.h"

namespace {

struct TLookup {
    int Error = 0;  // socket-error code, 0 on success
    std::string Address;
};

TLookup Lookup(const std::string& host, int family) {
    addrinfo hints{};
    hints.ai_family = family;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int result = getaddrinfo(host.c_str(), nullptr, &hints, &list);
    if (result != 0) return {SocketErrorFromAddrInfo(result, errno), {}};
    char text[INET6_ADDRSTRLEN] = {};
    const void* address =
        family == AF_INET6 ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(list->ai_addr)->sin6_addr)
                           : static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr);
    inet_ntop(family, address, text, sizeof text);
    freeaddrinfo(list);
    return {0, text};
}

// Shared between the waiting caller and the lookup thread, which may outlive
// the caller's interest in it.
struct TPendingLookup {
    std::mutex Lock;
    std::condition_variable Done;
    bool Finished = false;
    TLookup Result;
};

TLookup LookupWithin(const std::string& host, int family, int timeoutMs) {
    auto pending = std::make_shared<TPendingLookup>();
    try {
        std::thread([pending, host, family] {
            TLookup result = Lookup(host, family);
            std::lock_guard lock(pending->Lock);
            pending->Result = std::move(result);
            pending->Finished = true;
            pending->Done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return Lookup(host, family);  // no thread to spare: wait as long as the name service takes
    }
    std::unique_lock lock(pending->Lock);
    if (!pending->Done.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return pending->Finished; }))
        throw EIdConnectTimeout("Connect timed out.");
    return pending->Result;
}

}  // namespace

std::string LookupHostAddress(const std::string& host, int family, int timeoutMs) {
    const TLookup lookup = timeoutMs > 0 ? LookupWithin(host, family, timeoutMs) : Lookup(host, family);
    if (lookup.Error != 0) RaiseSocketError(lookup.Error);
    return lookup.Address;
}
