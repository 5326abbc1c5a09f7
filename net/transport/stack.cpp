#include "net/transport/stack.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/transport/exceptions.h"
#include "net/transport/resolver.h"
#include "net/transport/socket_errors.h"

namespace {

int FamilyOf(TIdIPVersion ipVersion) { return ipVersion == Id_IPv6 ? AF_INET6 : AF_INET; }

// Four decimal numbers 0-255 separated by "."; leading zeros are read as
// decimal digits, not as octal.
std::optional<in_addr> ParseDottedQuad(const std::string& text) {
    uint32_t address = 0;
    size_t position = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (position >= text.size() || text[position] != '.') return std::nullopt;
            ++position;
        }
        const size_t start = position;
        unsigned value = 0;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' && position - start < 3)
            value = value * 10 + static_cast<unsigned>(text[position++] - '0');
        if (position == start || value > 255) return std::nullopt;
        address = (address << 8) | value;
    }
    if (position != text.size()) return std::nullopt;
    in_addr result{};
    result.s_addr = htonl(address);
    return result;
}

bool IsIPv6Literal(const std::string& text) {
    in6_addr address{};
    return inet_pton(AF_INET6, text.c_str(), &address) == 1;
}

// Waits for events on handle, at most timeoutMs (negative: no limit), across
// interrupted waits. Returns whether the handle became ready.
bool PollFor(int handle, short events, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        pollfd entry{handle, events, 0};
        const int result = poll(&entry, 1, wait);
        if (result > 0) return true;
        if (result == 0) return false;
        if (errno != EINTR) RaiseLastSocketError();
    }
}

// Puts a socket into non-blocking mode for the guard's lifetime.
class TNonBlockingGuard {
public:
    explicit TNonBlockingGuard(int handle) : FHandle(handle), FFlags(fcntl(handle, F_GETFL)) {
        if (FFlags < 0 || fcntl(handle, F_SETFL, FFlags | O_NONBLOCK) < 0) RaiseLastSocketError();
    }
    ~TNonBlockingGuard() { fcntl(FHandle, F_SETFL, FFlags); }
    TNonBlockingGuard(const TNonBlockingGuard&) = delete;
    TNonBlockingGuard& operator=(const TNonBlockingGuard&) = delete;

private:
    int FHandle;
    int FFlags;
};

socklen_t MakeAddress(const std::string& ip, uint16_t port, TIdIPVersion ipVersion, sockaddr_storage& storage) {
    storage = {};
    if (ipVersion == Id_IPv6) {
        auto& address = reinterpret_cast<sockaddr_in6&>(storage);
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        if (inet_pton(AF_INET6, ip.c_str(), &address.sin6_addr) != 1) RaiseSocketError(SocketErrorFromErrno(EINVAL));
        return sizeof address;
    }
    auto& address = reinterpret_cast<sockaddr_in&>(storage);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    const std::optional<in_addr> parsed = ParseDottedQuad(ip);
    if (!parsed) RaiseSocketError(SocketErrorFromErrno(EINVAL));
    address.sin_addr = *parsed;
    return sizeof address;
}

}  // namespace

std::string TIdStack::ResolveHost(const std::string& host, TIdIPVersion ipVersion, int timeoutMs) {
    if (strcasecmp(host.c_str(), "localhost") == 0) return ipVersion == Id_IPv6 ? "::1" : "127.0.0.1";
    if (ipVersion == Id_IPv4 ? IsIP(host) : IsIPv6Literal(host)) return host;
    return LookupHostAddress(host, FamilyOf(ipVersion), timeoutMs);
}

bool TIdStack::IsIP(const std::string& ip) const { return ParseDottedQuad(ip).has_value(); }

int TIdStack::NewSocketHandle(TIdIPVersion ipVersion) {
    const int handle = socket(FamilyOf(ipVersion), SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) RaiseLastSocketError();
    return handle;
}

void TIdStack::Connect(int handle, const std::string& ip, uint16_t port, TIdIPVersion ipVersion, int timeoutMs) {
    sockaddr_storage storage;
    const socklen_t length = MakeAddress(ip, port, ipVersion, storage);
    // The connect runs without blocking so that a time limit can be kept;
    // without one the wait below has no limit, as a blocking connect.
    TNonBlockingGuard nonBlocking(handle);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&storage), length) == 0) return;
    if (errno != EINPROGRESS && errno != EINTR) RaiseLastSocketError();
    if (!PollFor(handle, POLLOUT, timeoutMs > 0 ? timeoutMs : -1)) throw EIdConnectTimeout("Connect timed out.");
    int error = 0;
    socklen_t errorLength = sizeof error;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &errorLength) < 0) RaiseLastSocketError();
    if (error != 0) RaiseSocketError(SocketErrorFromErrno(error));
}

size_t TIdStack::Send(int handle, const void* data, size_t size) {
    for (;;) {
        const ssize_t sent = send(handle, data, size, MSG_NOSIGNAL);
        if (sent >= 0) return static_cast<size_t>(sent);
        if (errno != EINTR) RaiseLastSocketError();
    }
}

size_t TIdStack::Receive(int handle, void* buffer, size_t size) {
    for (;;) {
        const ssize_t received = recv(handle, buffer, size, 0);
        if (received >= 0) return static_cast<size_t>(received);
        if (errno != EINTR) RaiseLastSocketError();
    }
}

bool TIdStack::Readable(int handle, int timeoutMs) { return PollFor(handle, POLLIN, timeoutMs); }

void TIdStack::Disconnect(int handle) { shutdown(handle, SHUT_WR); }

std::string TIdStack::WSTranslateSocketErrorMsg(int error) const { return ::WSTranslateSocketErrorMsg(error); }

void TIdStack::RaiseSocketError(int error) const { ::RaiseSocketError(error); }
