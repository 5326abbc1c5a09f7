#pragma once
// A scripted TCP server on 127.0.0.1 for tests. It listens on a free port,
// and each connection it accepts runs the test's script on the server's
// thread: read the request, send exact bytes, pause, close. Every wait is
// bounded and ends early when the server stops, so a test cannot hang on it.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// The loopback address at a port (0: one the system chooses).
inline sockaddr_in LoopbackAddress(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// A new TCP socket bound to a loopback port the system chooses; `port`
// receives it.
inline int BoundLoopbackSocket(uint16_t& port) {
    const int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = LoopbackAddress(0);
    bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return handle;
}

class TLoopbackServer;

class TScriptedConnection {
public:
    TScriptedConnection(int socket, TLoopbackServer& server) : FSocket(socket), FServer(server) {}

    // The request head up to and including its empty line; what arrived
    // when the client closes or 3 s pass first.
    std::string ReadRequest();
    // False when the client has gone (or the send failed).
    bool Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent = send(FSocket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0) return false;
            bytes.remove_prefix(static_cast<size_t>(sent));
        }
        return true;
    }
    // Sleeps; returns false early when the server is stopping.
    bool Pause(int milliseconds);
    // Keeps the connection open, silent, until the server stops.
    void HoldUntilStopped() {
        while (Pause(50)) {}
    }

private:
    int FSocket;
    TLoopbackServer& FServer;
};

class TLoopbackServer {
public:
    using TScript = std::function<void(TScriptedConnection&)>;

    explicit TLoopbackServer(TScript script) : FScript(std::move(script)) {
        FListener = BoundLoopbackSocket(FPort);
        listen(FListener, 8);
        FThread = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer() {
        FStopping = true;
        FThread.join();
        close(FListener);
    }
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;

    uint16_t Port() const { return FPort; }
    std::string URL(const std::string& path = "/Softwares/HueSmith/Version.txt") const {
        return "http://127.0.0.1:" + std::to_string(FPort) + path;
    }
    int Accepted() const { return FAccepted; }
    bool Stopping() const { return FStopping; }
    std::vector<std::string> Requests() const {
        std::lock_guard lock(FLock);
        return FRequests;
    }
    // The first request head read, waiting up to 3 s for it.
    std::string WaitForRequest() const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            {
                std::lock_guard lock(FLock);
                if (!FRequests.empty()) return FRequests.front();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return {};
    }
    void Record(const std::string& request) {
        std::lock_guard lock(FLock);
        FRequests.push_back(request);
    }

private:
    void Serve() {
        while (!FStopping) {
            pollfd entry{FListener, POLLIN, 0};
            if (poll(&entry, 1, 20) <= 0) continue;
            const int connection = accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) continue;
            ++FAccepted;
            TScriptedConnection scripted(connection, *this);
            FScript(scripted);
            close(connection);
        }
    }

    TScript FScript;
    int FListener = -1;
    uint16_t FPort = 0;
    std::atomic<bool> FStopping = false;
    std::atomic<int> FAccepted = 0;
    mutable std::mutex FLock;
    std::vector<std::string> FRequests;
    std::thread FThread;
};

inline std::string TScriptedConnection::ReadRequest() {
    std::string request;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (request.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < end &&
           !FServer.Stopping()) {
        pollfd entry{FSocket, POLLIN, 0};
        if (poll(&entry, 1, 20) <= 0) continue;
        char block[4096];
        const ssize_t received = recv(FSocket, block, sizeof block, 0);
        if (received <= 0) break;
        request.append(block, static_cast<size_t>(received));
    }
    FServer.Record(request);
    return request;
}

inline bool TScriptedConnection::Pause(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        if (FServer.Stopping()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return !FServer.Stopping();
}

// A script that reads one request and answers with the given bytes, then
// closes the connection.
inline TLoopbackServer::TScript Answer(std::string response) {
    return [response = std::move(response)](TScriptedConnection& connection) {
        connection.ReadRequest();
        connection.Send(response);
    };
}

// A loopback port on which nothing listens, held for as long as the object
// lives: its socket stays bound without listening, so connections to it are
// refused and no other program can take the port meanwhile.
class TRefusingPort {
public:
    TRefusingPort() { FSocket = BoundLoopbackSocket(FPort); }
    ~TRefusingPort() { close(FSocket); }
    TRefusingPort(const TRefusingPort&) = delete;
    TRefusingPort& operator=(const TRefusingPort&) = delete;
    uint16_t Port() const { return FPort; }

private:
    int FSocket = -1;
    uint16_t FPort = 0;
};

// A host name that the system's resolver refuses without asking any name
// server (an empty label cannot be put into a query), so the lookup fails
// as "not found" and nothing leaves the machine.
inline constexpr const char* UnresolvableHost = "no-such-host..invalid";

// A loopback listener that never accepts and whose backlog is already full,
// so that further connection attempts wait unanswered.
class TFullListener {
public:
    TFullListener() {
        FListener = BoundLoopbackSocket(FPort);
        listen(FListener, 0);
        const sockaddr_in address = LoopbackAddress(FPort);
        FFiller = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        connect(FFiller, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    ~TFullListener() {
        close(FFiller);
        close(FListener);
    }
    TFullListener(const TFullListener&) = delete;
    TFullListener& operator=(const TFullListener&) = delete;
    uint16_t Port() const { return FPort; }

private:
    int FListener = -1;
    int FFiller = -1;
    uint16_t FPort = 0;
};
