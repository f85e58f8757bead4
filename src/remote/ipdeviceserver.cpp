#include "remote/ipdeviceserver.h"

#include "dmx/uiwake.h"
#include "remote/deviceslot.h"
#include "show/datafile.h"
#include "show/language.h"
#include "show/textutil.h"

#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <new>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orvane {

namespace {

constexpr int kBacklog = 8;
constexpr Milliseconds kKeepAlive{1000};
constexpr Milliseconds kAfterFile{2000};
// Timer 1235 may fire a little early; a keep-alive due within this margin goes
// out now rather than one period later.
constexpr Milliseconds kKeepAliveSlack{100};
constexpr size_t kReceiveBytes = 4096;
constexpr size_t kTextQueueLimit = 64 * 1024;
constexpr int kFilesQueuedLimit = 4;
constexpr Milliseconds kSummary{10000};
constexpr Milliseconds kOneSecond{1000};
constexpr size_t kPendingLogLimit = 2000;
constexpr size_t kSaidChars = 200;
constexpr int kEventsPerWait = 64;
constexpr int kWaitMs = 250;
constexpr uint64_t kListenKey = 1000;
constexpr uint64_t kWakeKey = 1001;
constexpr uint32_t kReadEvents = EPOLLIN | EPOLLRDHUP;
constexpr uint32_t kWriteEvents = EPOLLOUT;

std::string workingFolder() {
    std::error_code ec;
    std::string cwd = std::filesystem::current_path(ec).string();
    return ec ? std::string(".") : cwd;
}

void wake(int eventFd) {
    uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(eventFd, &one, sizeof one);
}

// A listening TCP socket on address:port (empty address: all), or -1 with the reason.
int listenTcp(const std::string& address, uint16_t port, std::string* error) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!address.empty() && ::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        *error = fillIn(translate("IpDevices", "ipdevbind [%1] is not an IPv4 address"), {address});
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::strerror(errno);
        return -1;
    }
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, kBacklog) != 0) {
        *error = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

// A step's text as the log shows it: without its padding, control bytes visible.
std::string shownText(std::string_view text) {
    size_t end = text.find_last_not_of(' ');
    return printableText(text.substr(0, end == std::string_view::npos ? 0 : end + 1),
                         kDeviceTextSize);
}

uint16_t boundPort(int fd) {
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

} // namespace

class IpDeviceServer::Loop {
public:
    Loop(const IpDeviceServerOptions& options, int listenFd);
    ~Loop();
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;

    bool startThread(std::string* error);
    void postSend(int device, std::string_view text) {
        post({Kind::Send, device, std::string(text)});
    }
    void postKeepAlive();
    void flush();
    void logFromOwner(LogLine line);
    std::vector<LogLine> takeLog();
    int connected() const { return m_connected.load(std::memory_order_relaxed); }

private:
    enum class Kind { Send, KeepAlive, Barrier };
    struct Command {
        Kind kind;
        int device = 0;
        std::string text;
        uint64_t barrier = 0;
    };

    void post(Command command);
    void run();
    void dispatch(const epoll_event& event);
    void runCommands();
    void acceptAll();
    void takeConnection(int fd, const sockaddr_in& peer);
    void refuse(const sockaddr_in& peer);
    void readFrom(int index, uint32_t events);
    void accountRead(int index, size_t bytes);
    void onData(int index, std::string_view bytes);
    void logSaid(DeviceSlot& slot, std::string line, uint32_t colour);
    void logRepeats(DeviceSlot& slot);
    void closeSlot(int index);
    void sendToDevices(int device, const std::string& text);
    void logNobodyThere(int device, const std::string& text);
    std::shared_ptr<const FileBytes> readFile(const FileCommand& command, const std::string& text);
    bool queue(int index, Chunk chunk);
    bool writeTo(int index);
    void chunkDone(DeviceSlot& slot, const Chunk& chunk);
    void watchWrite(int index, bool on);
    void watch(int fd, uint64_t key, uint32_t events, int op);
    void keepAliveAll();
    void housekeeping();
    void log(std::string text, uint32_t colour);
    void publishLog();

    IpDeviceServerOptions m_options;
    int m_listen;
    int m_epoll = -1;
    int m_wake = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connected{0};

    std::mutex m_mutex; // guards the members below up to m_pendingLog
    std::vector<Command> m_commands;
    uint64_t m_barrierDone = 0;
    std::condition_variable m_barrierCv;
    std::vector<LogLine> m_pendingLog;
    uint32_t m_pendingDropped = 0;
    uint64_t m_barrierPosted = 0; // owner thread only

    // Server thread only.
    Milliseconds m_now{0};
    std::array<DeviceSlot, kDeviceSlots> m_slots;
    size_t m_fileBytes = 0;
    LogLimiter m_events; // the server's own lines
    LogLimiter m_said;   // what devices say: a chatty device cannot crowd out the events
    std::vector<LogLine> m_batch;
    bool m_deviceOneSleeping = false;
    uint32_t m_refused = 0;
    Milliseconds m_refusedLogged{INT64_MIN / 2};
    Milliseconds m_acceptPausedUntil{0};
    Milliseconds m_lastHousekeeping{0};
    std::array<char, kReceiveBytes> m_receive{};
};

IpDeviceServer::Loop::Loop(const IpDeviceServerOptions& options, int listenFd)
    : m_options(options), m_listen(listenFd), m_events(options.logBurst, options.logPerSecond),
      m_said(options.logBurst, options.logPerSecond) {
    if (!m_options.clock)
        m_options.clock = &systemClock();
    if (m_options.fileFolder.empty())
        m_options.fileFolder = workingFolder();
}

IpDeviceServer::Loop::~Loop() {
    m_stop.store(true);
    if (m_wake >= 0)
        wake(m_wake);
    if (m_thread.joinable())
        m_thread.join();
    for (DeviceSlot& slot : m_slots)
        if (slot.open())
            ::close(slot.fd);
    for (int fd : {m_listen, m_epoll, m_wake})
        if (fd >= 0)
            ::close(fd);
}

bool IpDeviceServer::Loop::startThread(std::string* error) {
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_epoll < 0 || m_wake < 0) {
        *error = std::strerror(errno);
        return false;
    }
    watch(m_listen, kListenKey, EPOLLIN, EPOLL_CTL_ADD);
    watch(m_wake, kWakeKey, EPOLLIN, EPOLL_CTL_ADD);
    try {
        m_thread = std::thread(&Loop::run, this);
    } catch (const std::system_error& e) {
        *error = e.what();
        return false;
    }
    return true;
}

void IpDeviceServer::Loop::post(Command command) {
    {
        std::lock_guard lock(m_mutex);
        m_commands.push_back(std::move(command));
    }
    wake(m_wake);
}

void IpDeviceServer::Loop::postKeepAlive() {
    {
        // In order with the sends; one waiting keep-alive round is enough.
        std::lock_guard lock(m_mutex);
        if (!m_commands.empty() && m_commands.back().kind == Kind::KeepAlive)
            return;
        m_commands.push_back({Kind::KeepAlive, 0, {}, 0});
    }
    wake(m_wake);
}

void IpDeviceServer::Loop::flush() {
    uint64_t barrier = ++m_barrierPosted;
    post({Kind::Barrier, 0, {}, barrier});
    std::unique_lock lock(m_mutex);
    m_barrierCv.wait_for(lock, std::chrono::seconds(5), [&] { return m_barrierDone >= barrier; });
}

void IpDeviceServer::Loop::logFromOwner(LogLine line) {
    std::lock_guard lock(m_mutex);
    m_pendingLog.push_back(std::move(line));
}

std::vector<LogLine> IpDeviceServer::Loop::takeLog() {
    std::vector<LogLine> lines;
    std::lock_guard lock(m_mutex);
    lines.swap(m_pendingLog);
    if (m_pendingDropped > 0) {
        lines.push_back({fillIn(translate("IpDevices", "ovi: %1 log lines left out"),
                                {std::to_string(m_pendingDropped)}),
                         kLogDarkRed});
        m_pendingDropped = 0;
    }
    return lines;
}

void IpDeviceServer::Loop::run() {
    std::array<epoll_event, kEventsPerWait> events;
    while (!m_stop.load()) {
        int n = ::epoll_wait(m_epoll, events.data(), kEventsPerWait, kWaitMs);
        m_now = m_options.clock->nowMs();
        for (int i = 0; i < n; ++i)
            dispatch(events[size_t(i)]);
        housekeeping();
        publishLog();
    }
}

void IpDeviceServer::Loop::dispatch(const epoll_event& event) {
    if (event.data.u64 == kListenKey)
        acceptAll();
    else if (event.data.u64 == kWakeKey)
        runCommands();
    else if (event.data.u64 < kDeviceSlots) {
        int index = int(event.data.u64);
        if (event.events & (EPOLLIN | EPOLLHUP | EPOLLERR | EPOLLRDHUP))
            readFrom(index, event.events);
        if (m_slots[size_t(index)].open() && (event.events & EPOLLOUT) && !writeTo(index))
            closeSlot(index);
    }
}

void IpDeviceServer::Loop::runCommands() {
    uint64_t counter;
    [[maybe_unused]] ssize_t n = ::read(m_wake, &counter, sizeof counter);
    std::vector<Command> commands;
    {
        std::lock_guard lock(m_mutex);
        commands.swap(m_commands);
    }
    for (const Command& c : commands) {
        switch (c.kind) {
        case Kind::Send:
            sendToDevices(c.device, c.text);
            break;
        case Kind::KeepAlive:
            keepAliveAll();
            break;
        case Kind::Barrier: {
            // What falls due by now is done too (the summaries of repeats and
            // refusals), so the waiter sees every line up to this moment.
            housekeeping();
            publishLog();
            std::lock_guard lock(m_mutex);
            m_barrierDone = c.barrier;
            m_barrierCv.notify_all();
            break;
        }
        }
    }
}

void IpDeviceServer::Loop::acceptAll() {
    if (m_now < m_acceptPausedUntil)
        return;
    for (;;) {
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        int fd = ::accept4(m_listen, reinterpret_cast<sockaddr*>(&peer), &len,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            takeConnection(fd, peer);
            continue;
        }
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
            // Out of descriptors: pending connections wait a second instead of
            // waking the loop over and over.
            log(fillIn(translate("IpDevices", "ovi: cannot accept a connection: %1"),
                       {std::strerror(errno)}),
                kLogDarkRed);
            m_acceptPausedUntil = m_now + kOneSecond;
            watch(m_listen, kListenKey, 0, EPOLL_CTL_MOD);
        }
        return;
    }
}

void IpDeviceServer::Loop::takeConnection(int fd, const sockaddr_in& peer) {
    int index = 0;
    while (index < kDeviceSlots && m_slots[size_t(index)].open())
        ++index;
    if (index == kDeviceSlots) {
        ::close(fd);
        refuse(peer);
        return;
    }
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    char text[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    DeviceSlot& slot = m_slots[size_t(index)];
    slot = DeviceSlot{};
    slot.fd = fd;
    slot.address = text;
    slot.number = deviceNumberOf(slot.address);
    slot.readWindowStart = m_now;
    watch(fd, uint64_t(index), kReadEvents, EPOLL_CTL_ADD);
    m_connected.fetch_add(1, std::memory_order_relaxed);
    if (slot.number == kQuietDevice) {
        // Device 1 keeps its sleep across connections.
        slot.sleeping = m_deviceOneSleeping;
        return;
    }
    log(fillIn(translate("IpDevices", "ovi[%1] connected"), {std::to_string(slot.number)}),
        kLogTeal);
}

void IpDeviceServer::Loop::refuse(const sockaddr_in& peer) {
    ++m_refused;
    if (m_now - m_refusedLogged < kSummary)
        return;
    char text[INET_ADDRSTRLEN] = "";
    ::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    log(fillIn(translate("IpDevices",
                         "ovi: %1 connection(s) refused, all %2 places taken (last from %3)"),
               {std::to_string(m_refused), std::to_string(kDeviceSlots), text}),
        kLogDarkRed);
    m_refused = 0;
    m_refusedLogged = m_now;
}

void IpDeviceServer::Loop::readFrom(int index, uint32_t events) {
    DeviceSlot& slot = m_slots[size_t(index)];
    if (slot.readPaused && !(events & (EPOLLHUP | EPOLLERR)))
        return;
    ssize_t n = ::recv(slot.fd, m_receive.data(), m_receive.size(), MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        closeSlot(index);
        return;
    }
    if (n < 0)
        return;
    accountRead(index, size_t(n));
    onData(index, std::string_view(m_receive.data(), size_t(n)));
}

// Counts what a device sent this second; past the limit its reading pauses
// until the second is over, and the peer's own TCP window slows it down.
void IpDeviceServer::Loop::accountRead(int index, size_t bytes) {
    DeviceSlot& slot = m_slots[size_t(index)];
    if (m_now - slot.readWindowStart >= kOneSecond) {
        slot.readWindowStart = m_now;
        slot.readInWindow = 0;
    }
    slot.readInWindow += bytes;
    if (slot.readInWindow <= m_options.readBytesPerSecond)
        return;
    slot.readPaused = true;
    watch(slot.fd, uint64_t(index), slot.writeWatched ? kWriteEvents : 0u, EPOLL_CTL_MOD);
    if (!slot.floodLogged) {
        slot.floodLogged = true;
        log(fillIn(translate("IpDevices",
                             "ovi[%1] sends more than %2 bytes a second, reading it slower"),
                   {std::to_string(slot.number), std::to_string(m_options.readBytesPerSecond)}),
            kLogDarkRed);
    }
}

void IpDeviceServer::Loop::onData(int index, std::string_view bytes) {
    DeviceSlot& slot = m_slots[size_t(index)];
    std::string_view text = receivedText(bytes);
    if (slot.awaitingAnswer) {
        slot.awaitingAnswer = false;
        log(fillIn(translate("IpDevices", "ovi[%1] bytes received"), {std::to_string(index)}),
            kLogTeal);
    }
    switch (answerOf(text)) {
    case Answer::EnterSleep:
        slot.sleeping = true;
        break;
    case Answer::Wakeup:
        slot.sleeping = false;
        break;
    case Answer::Other:
        break;
    }
    if (slot.number == kQuietDevice)
        return;
    uint32_t colour = text.starts_with("O") ? kLogTeal : kLogDarkRed;
    logSaid(slot,
            fillIn(translate("IpDevices", "ovi[%1] says[%2]"),
                   {std::to_string(slot.number), printableText(text, kSaidChars)}),
            colour);
}

// The same line again from one device is counted, and the count logged every
// ten seconds, when it says something else or when it leaves.
void IpDeviceServer::Loop::logSaid(DeviceSlot& slot, std::string line, uint32_t colour) {
    if (!slot.lastSaid.empty() && line == slot.lastSaid) {
        if (slot.repeats++ == 0)
            slot.repeatsSince = m_now;
        return;
    }
    logRepeats(slot);
    m_said.add({line, colour}, m_now, m_batch);
    slot.lastSaid = std::move(line);
}

void IpDeviceServer::Loop::logRepeats(DeviceSlot& slot) {
    if (slot.repeats == 0)
        return;
    log(fillIn(translate("IpDevices", "ovi[%1] said the same %2 more time(s)"),
               {std::to_string(slot.number), std::to_string(slot.repeats)}),
        kLogTeal);
    slot.repeats = 0;
}

void IpDeviceServer::Loop::closeSlot(int index) {
    DeviceSlot& slot = m_slots[size_t(index)];
    if (!slot.open())
        return;
    ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, slot.fd, nullptr);
    ::close(slot.fd);
    slot.fd = -1;
    slot.out.clear();
    slot.textQueued = 0;
    slot.filesQueued = 0;
    m_connected.fetch_sub(1, std::memory_order_relaxed);
    if (slot.number == kQuietDevice) {
        m_deviceOneSleeping = slot.sleeping;
        return;
    }
    logRepeats(slot);
    log(fillIn(translate("IpDevices", "ovi[%1] disconnected"), {std::to_string(slot.number)}),
        kLogTeal);
}

void IpDeviceServer::Loop::sendToDevices(int device, const std::string& text) {
    std::string header;
    std::shared_ptr<const FileBytes> file;
    if (std::optional<FileCommand> command = fileCommandOf(text)) {
        file = readFile(*command, text);
        if (!file)
            return;
        header = fileHeader(*command, uint32_t(file->size()));
    }
    const std::string& message = file ? header : text;
    const bool wakeup = containsText(message, "WAKEUP");
    const bool sleep = containsText(message, "SLEEP");
    bool matched = false;
    for (int i = 0; i < kDeviceSlots; ++i) {
        DeviceSlot& slot = m_slots[size_t(i)];
        if (!slot.open() || (device != kAllDevices && slot.number != device))
            continue;
        matched = true;
        if (slot.sleeping && !wakeup) {
            // A sleeping device ends the whole send.
            log(fillIn(translate("IpDevices",
                                 "ovi[%1] sleeping, [%2] not sent to it or the devices after it"),
                       {std::to_string(slot.number), shownText(text)}),
                kLogDarkRed);
            return;
        }
        if (file && slot.filesQueued >= kFilesQueuedLimit) {
            log(fillIn(
                    translate("IpDevices", "ovi[%1] still receiving earlier files, [%2] not sent"),
                    {std::to_string(slot.number), text}),
                kLogDarkRed);
            continue;
        }
        bool ok = queue(i, Chunk{message, nullptr, 0});
        if (ok && sleep)
            slot.sleeping = true;
        if (ok && file) {
            log(fillIn(translate("IpDevices", "ovi[%1] sending %2 bytes"),
                       {std::to_string(slot.number), std::to_string(file->size())}),
                kLogTeal);
            slot.awaitingAnswer = true;
            ok = queue(i, Chunk{{}, file, 0});
        }
        if (!ok)
            closeSlot(i);
    }
    if (!matched)
        logNobodyThere(device, text);
}

void IpDeviceServer::Loop::logNobodyThere(int device, const std::string& text) {
    if (device == kAllDevices)
        log(fillIn(translate("IpDevices", "ovi: no device connected, [%1] not sent"),
                   {shownText(text)}),
            kLogDarkRed);
    else
        log(fillIn(translate("IpDevices", "ovi: no device %1 connected, [%2] not sent"),
                   {std::to_string(device), shownText(text)}),
            kLogDarkRed);
}

std::shared_ptr<const FileBytes> IpDeviceServer::Loop::readFile(const FileCommand& command,
                                                                const std::string& text) {
    std::string folder = command.name.starts_with('/') ? "/" : m_options.fileFolder;
    std::optional<FoundFile> found = findDataFile(folder, command.name);
    int fd = found ? ::open(found->path.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    if (fd < 0) {
        log(fillIn(translate("IpDevices", "ovi send error, can't open [%1]"), {command.name}),
            kLogDarkRed);
        return nullptr;
    }
    if (found->caseFolded)
        log(fillIn(translate("IpDevices", "ovi: [%1] taken as [%2]"), {command.name, found->path}),
            kLogTeal);
    struct stat st {};
    ::fstat(fd, &st);
    size_t size = size_t(st.st_size);
    std::vector<char> bytes;
    bool fits = st.st_size <= off_t(UINT32_MAX) && m_fileBytes + size <= m_options.fileBytesLimit;
    try {
        if (fits)
            bytes.resize(size);
    } catch (const std::bad_alloc&) {
        fits = false;
    }
    if (!fits) {
        ::close(fd);
        log(fillIn(translate("IpDevices", "ovi send error, alloc error reading [%1]"), {text}),
            kLogDarkRed);
        return nullptr;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, bytes.data() + done, size - done);
        if (n <= 0 && !(n < 0 && errno == EINTR))
            break;
        done += size_t(std::max<ssize_t>(n, 0));
    }
    ::close(fd);
    if (done < size) {
        log(fillIn(translate("IpDevices", "ovi send error, can't read [%1]"), {text}), kLogDarkRed);
        return nullptr;
    }
    return std::make_shared<const FileBytes>(std::move(bytes), m_fileBytes);
}

// Queues a chunk and sends what the connection takes now. False when the
// device has stopped reading (its queue of messages is full) or the
// connection failed.
bool IpDeviceServer::Loop::queue(int index, Chunk chunk) {
    DeviceSlot& slot = m_slots[size_t(index)];
    if (chunk.file) {
        ++slot.filesQueued;
    } else {
        if (slot.textQueued + chunk.size() > kTextQueueLimit) {
            log(fillIn(translate("IpDevices", "ovi[%1] does not read what it is sent"),
                       {std::to_string(slot.number)}),
                kLogDarkRed);
            return false;
        }
        slot.textQueued += chunk.size();
    }
    slot.out.push_back(std::move(chunk));
    return writeTo(index);
}

bool IpDeviceServer::Loop::writeTo(int index) {
    DeviceSlot& slot = m_slots[size_t(index)];
    while (!slot.out.empty()) {
        Chunk& chunk = slot.out.front();
        ssize_t n = ::send(slot.fd, chunk.data() + chunk.offset, chunk.size() - chunk.offset,
                           MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                return false;
            watchWrite(index, true);
            return true;
        }
        chunk.offset += size_t(n);
        if (chunk.offset < chunk.size())
            continue;
        chunkDone(slot, chunk);
        slot.out.pop_front();
    }
    watchWrite(index, false);
    return true;
}

void IpDeviceServer::Loop::chunkDone(DeviceSlot& slot, const Chunk& chunk) {
    if (!chunk.file) {
        slot.textQueued -= chunk.size();
        return;
    }
    --slot.filesQueued;
    log(fillIn(translate("IpDevices", "ovi[%1] sent %2 bytes"),
               {std::to_string(slot.number), std::to_string(chunk.size())}),
        kLogTeal);
    slot.nextKeepAlive = m_now + kAfterFile;
}

void IpDeviceServer::Loop::watchWrite(int index, bool on) {
    DeviceSlot& slot = m_slots[size_t(index)];
    if (slot.writeWatched == on)
        return;
    slot.writeWatched = on;
    uint32_t events = (slot.readPaused ? 0u : kReadEvents) | (on ? kWriteEvents : 0u);
    watch(slot.fd, uint64_t(index), events, EPOLL_CTL_MOD);
}

void IpDeviceServer::Loop::watch(int fd, uint64_t key, uint32_t events, int op) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = key;
    ::epoll_ctl(m_epoll, op, fd, &event);
}

void IpDeviceServer::Loop::keepAliveAll() {
    for (int i = 0; i < kDeviceSlots; ++i) {
        DeviceSlot& slot = m_slots[size_t(i)];
        if (m_now + kKeepAliveSlack < slot.nextKeepAlive || slot.awaitingAnswer || slot.sleeping)
            continue;
        slot.nextKeepAlive = m_now + kKeepAlive;
        if (slot.open() && !queue(i, Chunk{std::string(kKeepAliveText), nullptr, 0}))
            closeSlot(i);
    }
}

void IpDeviceServer::Loop::housekeeping() {
    if (m_acceptPausedUntil != Milliseconds{0} && m_now >= m_acceptPausedUntil) {
        m_acceptPausedUntil = Milliseconds{0};
        watch(m_listen, kListenKey, EPOLLIN, EPOLL_CTL_MOD);
    }
    for (int i = 0; i < kDeviceSlots; ++i) {
        DeviceSlot& slot = m_slots[size_t(i)];
        if (slot.open() && slot.readPaused && m_now - slot.readWindowStart >= kOneSecond) {
            slot.readPaused = false;
            slot.readWindowStart = m_now;
            slot.readInWindow = 0;
            uint32_t events = kReadEvents | (slot.writeWatched ? kWriteEvents : 0u);
            watch(slot.fd, uint64_t(i), events, EPOLL_CTL_MOD);
        }
    }
    if (m_now - m_lastHousekeeping < kOneSecond)
        return;
    m_lastHousekeeping = m_now;
    for (DeviceSlot& slot : m_slots)
        if (slot.open() && slot.repeats > 0 && m_now - slot.repeatsSince >= kSummary)
            logRepeats(slot);
    if (m_refused > 0 && m_now - m_refusedLogged >= kSummary) {
        log(fillIn(
                translate("IpDevices", "ovi: %1 more connection(s) refused, all %2 places taken"),
                {std::to_string(m_refused), std::to_string(kDeviceSlots)}),
            kLogDarkRed);
        m_refused = 0;
        m_refusedLogged = m_now;
    }
    m_events.flush(m_now, m_batch);
    m_said.flush(m_now, m_batch);
}

void IpDeviceServer::Loop::log(std::string text, uint32_t colour) {
    m_events.add({std::move(text), colour}, m_now, m_batch);
}

void IpDeviceServer::Loop::publishLog() {
    if (m_batch.empty())
        return;
    std::lock_guard lock(m_mutex);
    for (LogLine& line : m_batch) {
        if (m_pendingLog.size() < kPendingLogLimit)
            m_pendingLog.push_back(std::move(line));
        else
            ++m_pendingDropped;
    }
    m_batch.clear();
    uiwake::poke();
}

IpDeviceServer::IpDeviceServer(IpDeviceServerOptions options) : m_options(std::move(options)) {}

IpDeviceServer::~IpDeviceServer() = default;

int IpDeviceServer::start(std::string* error) {
    std::string ignored;
    error = error ? error : &ignored;
    if (m_loop)
        return m_running ? 0 : -1;
    int fd = listenTcp(m_options.bindAddress, m_options.port, error);
    if (fd < 0)
        return -1;
    m_port = boundPort(fd);
    auto loop = std::make_unique<Loop>(m_options, fd);
    if (!loop->startThread(error))
        return -1;
    m_loop = std::move(loop);
    m_running = true;
    m_loop->logFromOwner({fillIn(translate("IpDevices", "ip ovi server started on port %1"),
                                 {std::to_string(m_port)}),
                          kLogTeal});
    return 0;
}

int IpDeviceServer::send(int device, std::string_view text) {
    // Twenty characters: twenty bytes in a Windows-1252 show, twenty UTF-8
    // characters in the others.
    if (text.size() != kDeviceTextSize && utf8Length(text) != kDeviceTextSize)
        return kBadDeviceText;
    if (m_loop)
        m_loop->postSend(device, text);
    return 0;
}

void IpDeviceServer::keepAlive() {
    if (m_running)
        m_loop->postKeepAlive();
}

std::vector<LogLine> IpDeviceServer::takeLog() {
    return m_loop ? m_loop->takeLog() : std::vector<LogLine>{};
}

void IpDeviceServer::flush() {
    if (m_loop)
        m_loop->flush();
}

int IpDeviceServer::connectedDevices() const {
    return m_loop ? m_loop->connected() : 0;
}

} // namespace orvane
