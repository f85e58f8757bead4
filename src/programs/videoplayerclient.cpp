#include "programs/videoplayerclient.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace orvane {

std::string pipeDirectory() {
    if (const char* dir = std::getenv("ORVANE_PIPE_DIR"); dir && *dir)
        return dir;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/orvane";
    return "/tmp/orvane-" + std::to_string(getuid());
}

VideoPlayerClient::VideoPlayerClient(std::string socketPath) : m_path(std::move(socketPath)) {}

VideoPlayerClient::~VideoPlayerClient() {
    disconnect();
}

std::string VideoPlayerClient::path() const {
    return m_path.empty() ? pipeDirectory() + "/" + kVideoPlayerSocket : m_path;
}

bool VideoPlayerClient::connect() {
    std::string p = path();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (p.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A local stream socket connects at once or not at all (EAGAIN: the
    // player's backlog is full, which counts as not there).
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void VideoPlayerClient::disconnect() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool VideoPlayerClient::send(std::string_view command) {
    if (m_fd < 0 && !connect())
        return false;
    auto n = uint32_t(command.size());
    std::vector<char> message(4 + command.size());
    for (int i = 0; i < 4; ++i)
        message[size_t(i)] = char((n >> (8 * i)) & 0xFF);
    std::memcpy(message.data() + 4, command.data(), command.size());
    // One write of the whole message: a partial write would leave the player in
    // the middle of a message, so it counts as failed.
    ssize_t sent = ::send(m_fd, message.data(), message.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent != ssize_t(message.size())) {
        disconnect();
        return false;
    }
    return true;
}

} // namespace orvane
