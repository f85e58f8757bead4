// termios2 comes from <asm/termbits.h>, which must not meet <termios.h>.
#include "support/pty.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

namespace orvane::test {

namespace {

long long nowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

} // namespace

PtyPair::PtyPair() {
    int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    char name[128];
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0) {
        ::close(fd);
        return;
    }
    m_master = fd;
    m_slavePath = name;
}

PtyPair::~PtyPair() {
    closeMaster();
}

void PtyPair::closeMaster() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

std::vector<uint8_t> PtyPair::drain() {
    std::vector<uint8_t> out;
    uint8_t buffer[4096];
    for (;;) {
        ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return out;
        out.insert(out.end(), buffer, buffer + n);
    }
}

std::vector<uint8_t> PtyPair::read(std::size_t count, int timeoutMs) {
    std::vector<uint8_t> out(count);
    std::size_t got = 0;
    long long end = nowMs() + timeoutMs;
    while (got < count) {
        long long left = end - nowMs();
        if (left < 0)
            break;
        pollfd p{m_master, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        ssize_t n = ::read(m_master, out.data() + got, count - got);
        if (n < 0 && errno == EAGAIN)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return out;
}

bool PtyPair::write(std::span<const uint8_t> bytes) {
    return ::write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::optional<LineConfig> lineConfig(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return std::nullopt;
    LineConfig c;
    c.outputBaud = tio.c_ospeed;
    c.inputBaud = tio.c_ispeed;
    c.freeBaud = (tio.c_cflag & CBAUD) == BOTHER;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        c.dataBits = 5;
        break;
    case CS6:
        c.dataBits = 6;
        break;
    case CS7:
        c.dataBits = 7;
        break;
    default:
        c.dataBits = 8;
    }
    c.parity = (tio.c_cflag & PARENB) != 0;
    c.stopBits = (tio.c_cflag & CSTOPB) ? 2 : 1;
    c.rawOutput = (tio.c_oflag & OPOST) == 0;
    c.rawInput = (tio.c_lflag & (ICANON | ECHO)) == 0;
    return c;
}

} // namespace orvane::test
