// The web remote's own share of a command's way to the console, in process on
// loopback: POST /api/go on a kept-alive connection to its answer (the
// command is on the ring before the answer goes), on a quiet server and while
// hostile peers flood it (200 kB headers, wrong tokens, connections left
// idle). The console's round and the line's frame come after this; the
// program's figures (bench_app_webremote) hold the whole way.

#include "benchutil.h"
#include "playback/remotecommand.h"
#include "remote/webremoteserver.h"
#include "support/webclient.h"

#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kToken = "bench-token-0123456789abcdef";
constexpr int kRuns = 2000;

int connectTo(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sends a request and reads until the answer's body "{...}" is whole; false
// on a closed or silent connection.
bool sendAndRead(int fd, const std::string& request) {
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        return false;
    std::string answer;
    char buffer[4096];
    while (answer.empty() || answer.back() != '}') {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) <= 0)
            return false;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        answer.append(buffer, size_t(n));
    }
    return true;
}

// Hostile peers, each on a thread of its own, until stopped.
class Flood {
public:
    explicit Flood(uint16_t port) : m_port(port) {
        m_threads.emplace_back([this] { hugeHeaders(); });
        m_threads.emplace_back([this] { wrongTokens(); });
        m_threads.emplace_back([this] { idleConnections(); });
    }
    ~Flood() {
        m_stop = true;
        for (std::thread& t : m_threads)
            t.join();
    }
    uint64_t sent() const { return m_sent; }

private:
    void hugeHeaders() {
        std::string request = "GET /api/state HTTP/1.1\r\nX: " + std::string(200 * 1024, 'a');
        while (!m_stop) {
            int fd = connectTo(m_port);
            ::send(fd, request.data(), request.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            ::close(fd);
            ++m_sent;
        }
    }
    void wrongTokens() {
        std::string request = "POST /api/go HTTP/1.1\r\nAuthorization: Bearer guess\r\n"
                              "Content-Length: 0\r\n\r\n";
        while (!m_stop) {
            int fd = connectTo(m_port);
            for (int i = 0; i < 50 && !m_stop && sendAndRead(fd, request); ++i)
                ++m_sent;
            ::close(fd);
        }
    }
    void idleConnections() {
        std::vector<int> open;
        while (!m_stop) {
            open.push_back(connectTo(m_port));
            ++m_sent;
            if (open.size() == 200) {
                for (int fd : open)
                    ::close(fd);
                open.clear();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        for (int fd : open)
            ::close(fd);
    }

    uint16_t m_port;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_sent{0};
    std::vector<std::thread> m_threads;
};

std::vector<double> goTimes(uint16_t port, orvane::RemoteCommandRing& ring) {
    std::string request = std::string("POST /api/go HTTP/1.1\r\nAuthorization: Bearer ") + kToken +
                          "\r\nContent-Length: 0\r\n\r\n";
    std::vector<double> times;
    int fd = connectTo(port);
    for (int i = 0; i < kRuns; ++i) {
        double t = bench::timeMicros([&] {
            if (!sendAndRead(fd, request)) {
                ::close(fd);
                fd = connectTo(port);
            }
        });
        if (ring.pop())
            times.push_back(t / 1000.0);
        // Spread over a few seconds, so that the flood has time to build up.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::close(fd);
    return times;
}

} // namespace

int main() {
    orvane::test::ensureCoreApp();
    orvane::RemoteCommandRing ring;
    orvane::RemoteStateBoard board;
    orvane::WebRemoteOptions options;
    options.token = kToken;
    // The benchmark sends faster than any person: the command rate is not
    // what is measured here.
    options.limits.commandBurst = 1 << 30;
    options.limits.commandsPerSecond = 1 << 30;
    orvane::WebRemoteServer server(options, ring, board);
    if (!server.start())
        return 1;
    std::vector<double> quiet = goTimes(server.port(), ring);
    bench::figure("remote_web_go_answer_p50", bench::percentile(quiet, 50), "ms");
    bench::figure("remote_web_go_answer_p99", bench::percentile(quiet, 99), "ms");
    std::vector<double> flooded;
    uint64_t hostile = 0;
    {
        Flood flood(server.port());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        flooded = goTimes(server.port(), ring);
        hostile = flood.sent();
    }
    bench::figure("remote_web_go_answer_flooded_p50", bench::percentile(flooded, 50), "ms");
    bench::figure("remote_web_go_answer_flooded_p99", bench::percentile(flooded, 99), "ms");
    bench::figure("remote_web_go_answered_flooded", double(flooded.size()) / kRuns * 100, "%");
    bench::figure("remote_web_flood_requests", double(hostile), "requests");
    return 0;
}
