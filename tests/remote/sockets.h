#pragma once
// Real sockets for the remote-control tests: local stream clients, TCP clients
// bound to a chosen loopback address (so the device number can be picked), and
// reading with a deadline.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace orvane::test {

// A connected client of a local stream socket, -1 on failure.
int connectLocal(const std::string& path);
// A TCP client from `from` (a 127.x.y.z address) to `to`:port, -1 on failure.
// rcvbuf > 0 shrinks the client's receive buffer (a slow device).
int connectTcp(const char* from, uint16_t port, const char* to = "127.0.0.1", int rcvbuf = 0);
// A TCP listener on 127.0.0.1 at any free port; the port in *port.
int listenLoopback(uint16_t* port);
// Accepts one connection within timeoutMs, -1 otherwise.
int acceptWithin(int listener, int timeoutMs);

bool sendAll(int fd, std::string_view bytes);
// Reads until n bytes came or timeoutMs passed; what came.
std::string readBytes(int fd, size_t n, int timeoutMs = 2000);
// Everything that arrives until the connection is quiet for quietMs.
std::string readQuiet(int fd, int quietMs = 50);
// True when the peer closed the connection within timeoutMs.
bool peerClosed(int fd, int timeoutMs = 2000);

// Polls pred every millisecond until it holds or timeoutMs passed.
bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 3000);

// A descriptor closed at the end of its scope.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd();
    Fd(Fd&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    operator int() const { return m_fd; }
    void reset(int fd = -1);

private:
    int m_fd;
};

} // namespace orvane::test
