// termios2 lives in <asm/termbits.h>, which clashes with <termios.h>: this is the
// only file of the program that includes it.
#include "dmx/serialline.h"

#include "dmx/threadsetup.h"
#include "show/language.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

namespace orvane {

namespace {

constexpr const char* kDefaultDevice = "/dev/ttyUSB0";
constexpr int kReaderPriority = 20;

tcflag_t dataBitsFlag(unsigned bits) {
    switch (bits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

tcflag_t parityFlags(char parity) {
    switch (parity) {
    case 'E':
    case 'e':
        return PARENB;
    case 'O':
    case 'o':
        return PARENB | PARODD;
    default:
        return 0;
    }
}

// Raw mode from an all-zero block: no echo, no line editing, no output
// processing (a newline byte in a frame must stay one byte), no modem control
// wait on open, the baud rate as a plain number.
struct termios2 makeTermios(const LineSettings& s) {
    struct termios2 tio {};
    tio.c_cflag = BOTHER | CREAD | CLOCAL | dataBitsFlag(s.dataBits) | parityFlags(s.parity);
    if (s.stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_ispeed = s.baud;
    tio.c_ospeed = s.baud;
    return tio;
}

// The reader waits on the line and on a wake-up descriptor that close() signals.
// Edge-triggered, like the character-received event of a serial driver: one
// wake-up per arrival, so bytes nobody reads do not make it spin. A hung-up line
// is dropped from the wait set for the same reason.
void readerLoop(int epollFd, int lineFd, int wakeFd) {
    nameThisThread("orvane-line-rx");
    epoll_event events[2];
    for (;;) {
        int n = epoll_wait(epollFd, events, 2, -1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return;
        for (int i = 0; i < n; ++i) {
            if (events[i].data.fd == wakeFd)
                return;
            if (events[i].events & (EPOLLHUP | EPOLLERR))
                epoll_ctl(epollFd, EPOLL_CTL_DEL, lineFd, nullptr);
        }
    }
}

bool watch(int epollFd, int fd, uint32_t events) {
    epoll_event ev{};
    ev.events = events;
    ev.data.fd = fd;
    return epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &ev) == 0;
}

void closeIfOpen(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

std::string chooseDmxDevice(const char* environmentValue, const std::string& profileSetting) {
    if (environmentValue && *environmentValue)
        return environmentValue;
    if (!profileSetting.empty())
        return profileSetting;
    return kDefaultDevice;
}

std::string dmxDevicePath(const std::string& profileSetting) {
    return chooseDmxDevice(std::getenv("ORVANE_DMX_PORT"), profileSetting);
}

SerialLine::SerialLine(MessageFn message) : m_message(std::move(message)) {}

SerialLine::~SerialLine() {
    close();
}

int SerialLine::open(const LineSettings& settings) {
    m_settings = settings;
    m_rts = Rts::NotDriven;
    close();

    // O_NONBLOCK keeps both the open (no carrier wait) and every frame write
    // from ever waiting.
    int fd = ::open(settings.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    m_openError = fd < 0 ? errno : 0;
    if (fd < 0)
        return -1;
    ioctl(fd, TIOCEXCL); // no sharing, as far as the driver enforces it

    struct termios2 tio = makeTermios(settings);
    if (ioctl(fd, TCSETS2, &tio) != 0)
        return fail(3, errno, fd);

    int error = 0;
    if (!startReader(fd, error))
        return fail(4, error, fd);

    m_lineError.store(0);
    m_fd.store(fd);
    return 0;
}

int SerialLine::fail(int stage, int error, int fd) {
    m_openError = error;
    stopReader();
    ::close(fd);
    if (m_message)
        m_message(translate("Serial line", "debug"),
                  fillIn(translate("Serial line", "failed#%1, return %2 (%3)\n"),
                         {std::to_string(stage), "-1", std::to_string(unsigned(error))}));
    return -1;
}

bool SerialLine::startReader(int fd, int& error) {
    m_epollFd = epoll_create1(EPOLL_CLOEXEC);
    m_wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_epollFd < 0 || m_wakeFd < 0 || !watch(m_epollFd, m_wakeFd, EPOLLIN) ||
        !watch(m_epollFd, fd, EPOLLIN | EPOLLET)) {
        error = errno;
        stopReader();
        return false;
    }
    try {
        m_reader = std::thread(readerLoop, m_epollFd, fd, m_wakeFd);
    } catch (const std::system_error& e) {
        error = e.code().value();
        stopReader();
        return false;
    }
    // The reader only ever sleeps in epoll_wait, so real-time priority cannot
    // starve anything; without the privilege it stays at normal priority.
    sched_param param{};
    param.sched_priority = kReaderPriority;
    pthread_setschedparam(m_reader.native_handle(), SCHED_FIFO, &param);
    return true;
}

void SerialLine::stopReader() {
    if (m_reader.joinable()) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFd, &one, sizeof one);
        m_reader.join();
    }
    closeIfOpen(m_wakeFd);
    closeIfOpen(m_epollFd);
}

void SerialLine::close() {
    int fd = m_fd.exchange(-1);
    stopReader();
    if (fd < 0)
        return;
    // A break or frame write that loaded the descriptor before the exchange is
    // a single non-blocking syscall; let it finish before the number can be
    // reused by another open.
    while (m_inFlight.load() != 0)
        std::this_thread::yield();
    ::close(fd);
}

void SerialLine::setDmxBaud() {
    int fd = m_fd.load();
    if (fd < 0)
        return;
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER;
    tio.c_ispeed = kDmxBaud;
    tio.c_ospeed = kDmxBaud;
    ioctl(fd, TCSETS2, &tio);
    ioctl(fd, TCGETS2, &tio); // read back; the answer is not needed
}

void SerialLine::clearRts() {
    int fd = m_fd.load();
    if (fd < 0 || m_rts == Rts::Low)
        return;
    int bits = TIOCM_RTS;
    if (ioctl(fd, TIOCMBIC, &bits) == 0)
        m_rts = Rts::Low;
}

template <typename Op> int SerialLine::withLine(Op op) {
    m_inFlight.fetch_add(1);
    int fd = m_fd.load();
    int result = fd >= 0 ? op(fd) : -1;
    // A full output buffer is no failure of the interface; anything else is
    // (a USB interface pulled out answers EIO).
    if (fd >= 0 && result < 0 && errno != EAGAIN && errno != EINTR)
        m_lineError.store(errno, std::memory_order_relaxed);
    m_inFlight.fetch_sub(1);
    return result;
}

int SerialLine::breakOn() {
    return withLine([](int fd) { return ioctl(fd, TIOCSBRK) == 0 ? 0 : -1; });
}

int SerialLine::breakOff() {
    return withLine([](int fd) { return ioctl(fd, TIOCCBRK) == 0 ? 0 : -1; });
}

int SerialLine::writeFrame(std::span<const uint8_t> bytes) {
    return withLine([bytes](int fd) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        return n < 0 ? -1 : static_cast<int>(n);
    });
}

} // namespace orvane
