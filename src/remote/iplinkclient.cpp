#include "remote/iplinkclient.h"

#include "dmx/uiwake.h"
#include "show/language.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane {

namespace {

constexpr char kForm[] = "!FORM:C";
constexpr char kAlive[] = "!ALIVE";
constexpr int kDrainReadsPerTick = 4;

// A connected, non-blocking TCP socket to host:port, or -1 / -2 as open().
int connectTo(const std::string& host, uint16_t port, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        *error = gai_strerror(rc);
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::strerror(errno);
        ::freeaddrinfo(found);
        return -1;
    }
    int rc = ::connect(fd, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);
    if (rc != 0 && errno != EINPROGRESS) {
        *error = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    pollfd p{fd, POLLOUT, 0};
    if (rc != 0 && ::poll(&p, 1, kLinkWaitMs) <= 0) {
        *error = translate("IpLink", "no connection within 500 ms");
        ::close(fd);
        return -2;
    }
    int soError = 0;
    socklen_t len = sizeof soError;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
    if (soError != 0) {
        *error = std::strerror(soError);
        ::close(fd);
        return -1;
    }
    return fd;
}

// Two upper-case hex digits of b at out.
void hexByte(char* out, uint32_t b) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    out[0] = kDigits[(b >> 4) & 0xF];
    out[1] = kDigits[b & 0xF];
}

} // namespace

int IpLinkClient::open(const std::string& host, uint16_t port, std::string* error) {
    std::string ignored;
    error = error ? error : &ignored;
    close();
    m_reply.clear();
    int fd = connectTo(host, port, error);
    if (fd < 0)
        return fd;
    ::send(fd, kForm, sizeof kForm - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kLinkWaitMs) > 0) {
        std::array<char, 1024> reply;
        ssize_t n = ::recv(fd, reply.data(), reply.size(), MSG_DONTWAIT);
        if (n > 0)
            m_reply.assign(reply.data(), size_t(n));
    }
    m_opening.fetch_add(1);
    m_fd.store(fd);
    return 0;
}

void IpLinkClient::close() {
    // The tick leaves the link first, so the descriptor cannot be reused under it.
    m_gate.shut();
    m_reportNow.store(true);
    int fd = m_fd.exchange(-1);
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
    m_gate.open();
}

void IpLinkClient::send(std::string_view text) {
    int fd = m_fd.load();
    if (fd >= 0 && !text.empty())
        ::send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void IpLinkClient::setCurrentColour(CurrentColour c) {
    m_colour.store(uint32_t(c.red) | uint32_t(c.green) << 8 | uint32_t(c.blue) << 16);
}

void IpLinkClient::heartbeat(Milliseconds now) {
    TickGate::Pass pass(m_gate);
    if (!pass)
        return;
    int fd = m_fd.load();
    if (fd < 0)
        return;
    drainReplies(fd);
    bool force = m_reportNow.exchange(false);
    if (m_colourReport.load()) {
        uint32_t colour = m_colour.load();
        if (force || now - m_lastReport > kColourReport || colour != m_lastColour) {
            char text[] = "!COL:BBGGRR";
            hexByte(text + 5, colour >> 16);
            hexByte(text + 7, colour >> 8);
            hexByte(text + 9, colour);
            sendNow(fd, text, sizeof text - 1);
            m_lastReport = now;
            m_lastColour = colour;
        }
    } else if (force || now - m_lastReport > kLinkAlive) {
        sendNow(fd, kAlive, sizeof kAlive - 1);
        m_lastReport = now;
    }
}

void IpLinkClient::sendNow(int fd, const char* text, size_t size) {
    if (::send(fd, text, size, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno != EAGAIN &&
        errno != EWOULDBLOCK)
        markLost();
}

void IpLinkClient::drainReplies(int fd) {
    // The host's answers are not used; reading them keeps its side from
    // stalling on a full connection.
    std::array<char, 256> scratch;
    for (int i = 0; i < kDrainReadsPerTick; ++i) {
        ssize_t n = ::recv(fd, scratch.data(), scratch.size(), MSG_DONTWAIT);
        if (n > 0)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            markLost();
        return;
    }
}

void IpLinkClient::markLost() {
    uint32_t opening = m_opening.load();
    if (opening == m_lostOpening)
        return;
    m_lostOpening = opening;
    m_lost.store(true);
    uiwake::poke();
}

} // namespace orvane
