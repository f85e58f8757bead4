#pragma once
// An OSC peer on a UDP socket of its own (loopback unless told otherwise):
// sends datagrams to a server and reads what comes back, the messages liblo
// decodes. Header only: test programs that link the remote library use it.

#include "remote/oscprotocol.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace orvane::test {

class OscClient {
public:
    explicit OscClient(const char* local = "127.0.0.1") {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        ::inet_pton(AF_INET, local, &a.sin_addr);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~OscClient() { ::close(m_fd); }
    OscClient(const OscClient&) = delete;
    OscClient& operator=(const OscClient&) = delete;

    void send(const std::vector<uint8_t>& bytes, uint16_t port, const char* to = "127.0.0.1") {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        ::inet_pton(AF_INET, to, &a.sin_addr);
        ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    void send(const std::string& address, uint16_t port, const std::string& types = "",
              const std::vector<OscOut>& args = {}) {
        send(encodeOscMessage(address, types, args), port);
    }

    // The next message, waiting at most timeoutMs.
    std::optional<OscMessage> receive(int timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return std::nullopt;
        std::vector<uint8_t> buffer(65536);
        ssize_t n = ::recv(m_fd, buffer.data(), buffer.size(), 0);
        std::vector<OscMessage> messages;
        if (n <= 0 || !decodeOscPacket(buffer.data(), size_t(n), messages) || messages.empty())
            return std::nullopt;
        return messages.front();
    }
    // Messages until one with that address (and its arguments), at most timeoutMs in all.
    std::optional<OscMessage> receiveUntil(const std::string& address, int timeoutMs,
                                           std::vector<OscMessage>* seen = nullptr) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            std::optional<OscMessage> m = receive(int(left.count()) + 1);
            if (!m)
                continue;
            if (seen)
                seen->push_back(*m);
            if (m->address == address)
                return m;
        }
        return std::nullopt;
    }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace orvane::test
