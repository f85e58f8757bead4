#include "remote/oscserver.h"

#include "dmx/uiwake.h"
#include "remote/devicetexts.h"
#include "remote/kindlog.h"
#include "remote/oscprotocol.h"
#include "remote/oscsubscribers.h"
#include "show/language.h"
#include "show/textutil.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvane {

namespace {

// The largest UDP payload: every datagram is read whole.
constexpr size_t kDatagramBytes = 65536;
// Datagrams read in one round before the state and the log get their turn.
constexpr int kDatagramsPerRound = 256;
// Log lines waiting for the user-interface thread; the kind log keeps them
// few, this only bounds a user-interface thread that stopped collecting.
constexpr size_t kPendingLogLines = 64;

enum Kind : int { kMalformed, kUnknown, kRefused, kRingFull, kSubscribed, kFull, kLapsed };

int openSocket(const std::string& address, uint16_t port, std::string* error, uint16_t* bound) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) {
        if (error)
            *error = fillIn(translate("Osc", "\"%1\" is not an IPv4 address"), {address});
        return -1;
    }
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (error)
            *error = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    socklen_t length = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    *bound = ntohs(addr.sin_port);
    return fd;
}

// Which state messages differ between two states.
std::array<bool, kOscStateFields> differences(const RemoteState& a, const RemoteState& b) {
    std::array<bool, kOscStateFields> d{};
    d[size_t(OscStateField::Step)] = a.step != b.step || a.caption != b.caption;
    d[size_t(OscStateField::Next)] = a.next != b.next || a.nextCaption != b.nextCaption;
    d[size_t(OscStateField::Output)] = a.output != b.output;
    d[size_t(OscStateField::Master)] = float(a.master) != float(b.master);
    d[size_t(OscStateField::Fade)] =
        float(a.fading ? a.fadeProgress : 1.0) != float(b.fading ? b.fadeProgress : 1.0);
    return d;
}

} // namespace

class OscServer::Loop {
public:
    Loop(const OscServerOptions& options, RemoteCommandRing& ring, RemoteStateBoard& board)
        : m_options(options), m_ring(ring), m_board(board), m_kinds("OSC: ", options.logInterval),
          m_buffer(kDatagramBytes) {
        m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        m_errorSpacing = Nanoseconds(1'000'000'000 / std::max(1, options.errorsPerSecond));
    }
    ~Loop() {
        if (m_wake >= 0)
            ::close(m_wake);
    }

    // Any thread: the state changed, or the thread is to end.
    void poke() {
        uint64_t one = 1;
        if (m_wake >= 0) [[maybe_unused]]
            ssize_t n = ::write(m_wake, &one, sizeof one);
    }
    void setSocket(int fd) { m_socket = fd; }
    void requestStop() {
        m_stop = true;
        poke();
    }
    // After the thread ended: the socket closed, ready for another start.
    void finish() {
        if (m_socket >= 0)
            ::close(m_socket);
        m_socket = -1;
        m_stop = false;
    }
    void run();
    std::vector<LogLine> takeLog() {
        std::lock_guard lock(m_logMutex);
        std::vector<LogLine> out;
        out.swap(m_pending);
        return out;
    }
    Counts counts() const {
        Counts c;
        c.datagrams = m_datagrams.load(std::memory_order_relaxed);
        c.malformed = m_malformed.load(std::memory_order_relaxed);
        c.unknown = m_unknown.load(std::memory_order_relaxed);
        c.refused = m_refused.load(std::memory_order_relaxed);
        c.commands = m_commands.load(std::memory_order_relaxed);
        c.ringFull = m_ringFull.load(std::memory_order_relaxed);
        c.stateSent = m_stateSent.load(std::memory_order_relaxed);
        c.subscribers = m_subscriberCount.load(std::memory_order_relaxed);
        return c;
    }
    int wakeDescriptor() const { return m_wake; }

private:
    void receive(Nanoseconds now);
    void handle(const uint8_t* data, size_t size, const OscPeer& peer, Nanoseconds now);
    void request(const OscMessage& m, const OscPeer& peer, Nanoseconds now);
    void takeState();
    void sendTo(const OscPeer& peer, const std::vector<uint8_t>& bytes);
    void answerError(const OscPeer& peer, const std::string& text, Nanoseconds now);
    void note(int kind, std::string text, uint32_t colour, Nanoseconds now);
    void publishLog();
    int timeoutMs(Nanoseconds now) const;

    OscServerOptions m_options;
    RemoteCommandRing& m_ring;
    RemoteStateBoard& m_board;
    OscSubscribers m_subscribers;
    KindLog m_kinds;
    std::vector<uint8_t> m_buffer;
    std::vector<OscMessage> m_messages;
    std::vector<LogLine> m_lines; // this thread's, before they are handed over
    RemoteState m_state;
    uint64_t m_stateVersion = 0;
    Nanoseconds m_errorPace{};
    Nanoseconds m_errorSpacing{};
    int m_socket = -1;
    int m_wake = -1;
    std::atomic<bool> m_stop{false};

    std::mutex m_logMutex;
    std::vector<LogLine> m_pending;

    std::atomic<uint64_t> m_datagrams{0}, m_malformed{0}, m_unknown{0}, m_refused{0}, m_commands{0},
        m_ringFull{0}, m_stateSent{0}, m_subscriberCount{0};
};

void OscServer::Loop::run() {
    // Below the program's own priority (by its niceness), named for ps and top.
    pid_t tid = pid_t(::syscall(SYS_gettid));
    errno = 0;
    int base = ::getpriority(PRIO_PROCESS, id_t(tid));
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, id_t(tid), base + m_options.niceness);
    ::pthread_setname_np(::pthread_self(), "orvane-osc");
    const Clock& clock = systemClock();
    pollfd fds[2] = {{m_socket, POLLIN, 0}, {m_wake, POLLIN, 0}};
    while (!m_stop.load()) {
        Nanoseconds now = clock.now();
        m_subscribers.expire(now, [&](const OscPeer& peer) {
            note(kLapsed,
                 fillIn(translate("Osc", "the subscription of %1 lapsed"), {peerText(peer)}),
                 kLogTeal, now);
        });
        takeState();
        // Nothing goes out before the first state: subscribers wait for it.
        if (m_stateVersion != 0)
            m_subscribers.sendDue(now, [&](const OscPeer& peer, OscStateField field) {
                sendTo(peer, encodeOscState(m_state, field));
                m_stateSent.fetch_add(1, std::memory_order_relaxed);
            });
        m_subscriberCount.store(m_subscribers.size(), std::memory_order_relaxed);
        m_kinds.flush(now, m_lines);
        publishLog();
        if (::poll(fds, 2, timeoutMs(now)) < 0 && errno != EINTR)
            break;
        if (fds[1].revents) {
            uint64_t count;
            while (::read(m_wake, &count, sizeof count) == sizeof count) {
            }
        }
        if (fds[0].revents)
            receive(clock.now());
    }
}

int OscServer::Loop::timeoutMs(Nanoseconds now) const {
    std::optional<Nanoseconds> due = m_subscribers.nextDue(m_stateVersion != 0);
    std::optional<Nanoseconds> log = m_kinds.nextDue();
    if (log && (!due || *log < *due))
        due = log;
    if (!due)
        return -1;
    // Rounded up: waking a little early would only wake again at once.
    auto ms = std::chrono::ceil<Milliseconds>(*due - now).count();
    return int(std::clamp<int64_t>(ms, 0, 60'000));
}

void OscServer::Loop::receive(Nanoseconds now) {
    for (int n = 0; n < kDatagramsPerRound; ++n) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        ssize_t got = ::recvfrom(m_socket, m_buffer.data(), m_buffer.size(), 0,
                                 reinterpret_cast<sockaddr*>(&from), &length);
        if (got < 0)
            return; // nothing more for now (or an error the next poll shows again)
        m_datagrams.fetch_add(1, std::memory_order_relaxed);
        if (from.sin_family != AF_INET)
            continue;
        handle(m_buffer.data(), size_t(got), {from.sin_addr.s_addr, from.sin_port}, now);
    }
}

void OscServer::Loop::handle(const uint8_t* data, size_t size, const OscPeer& peer,
                             Nanoseconds now) {
    std::string reason;
    if (!decodeOscPacket(data, size, m_messages, &reason)) {
        m_malformed.fetch_add(1, std::memory_order_relaxed);
        note(kMalformed,
             fillIn(translate("Osc", "malformed packet from %1 dropped: %2"),
                    {peerText(peer), reason}),
             kLogDarkRed, now);
        return;
    }
    for (const OscMessage& m : m_messages)
        request(m, peer, now);
}

void OscServer::Loop::request(const OscMessage& m, const OscPeer& peer, Nanoseconds now) {
    OscRequest r = interpretOsc(m);
    auto from = [&] { return peerText(peer); };
    switch (r.kind) {
    case OscRequest::Kind::Command:
        if (m_ring.push(r.command)) {
            m_commands.fetch_add(1, std::memory_order_relaxed);
            return;
        }
        m_ringFull.fetch_add(1, std::memory_order_relaxed);
        note(kRingFull,
             fillIn(translate("Osc", "%1 from %2 dropped: commands come faster than the console "
                                     "takes them"),
                    {m.address, from()}),
             kLogDarkRed, now);
        return;
    case OscRequest::Kind::Subscribe:
        switch (m_subscribers.subscribe(peer, now)) {
        case OscSubscribers::Join::New:
            note(kSubscribed, fillIn(translate("Osc", "%1 subscribed"), {from()}), kLogTeal, now);
            break;
        case OscSubscribers::Join::Renewed:
            break;
        case OscSubscribers::Join::Full:
            note(kFull,
                 fillIn(translate("Osc", "%1 not subscribed: %2 subscribers already"),
                        {from(), std::to_string(OscSubscribers::kMax)}),
                 kLogDarkRed, now);
            // untranslated-begin: the sender's /orvane/error
            answerError(peer,
                        format("/orvane/subscribe: %zu subscribers already", OscSubscribers::kMax),
                        now);
            // untranslated-end
            break;
        }
        return;
    case OscRequest::Kind::Release:
        return;
    case OscRequest::Kind::Unknown:
        m_unknown.fetch_add(1, std::memory_order_relaxed);
        note(kUnknown,
             fillIn(translate("Osc", "unknown address %1 from %2 dropped"), {m.address, from()}),
             kLogDarkRed, now);
        return;
    case OscRequest::Kind::WrongType:
    case OscRequest::Kind::BadValue:
        m_refused.fetch_add(1, std::memory_order_relaxed);
        note(kRefused,
             fillIn(translate("Osc", "%1 (,%2) from %3 dropped: %4"),
                    {m.address, m.types, from(), r.shown}),
             kLogDarkRed, now);
        answerError(peer, r.error, now);
        return;
    }
}

void OscServer::Loop::takeState() {
    uint64_t version = m_board.version();
    if (version == m_stateVersion)
        return;
    RemoteState state = m_board.latest(&version);
    m_subscribers.changed(differences(m_state, state));
    m_state = std::move(state);
    m_stateVersion = version;
}

void OscServer::Loop::sendTo(const OscPeer& peer, const std::vector<uint8_t>& bytes) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = peer.address;
    to.sin_port = peer.port;
    // A full send buffer drops the message: a subscriber gets the next change.
    ::sendto(m_socket, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
             reinterpret_cast<sockaddr*>(&to), sizeof to);
}

// Answers are held to a rate for all senders together: a forged sender
// address cannot turn the server into a source of traffic.
void OscServer::Loop::answerError(const OscPeer& peer, const std::string& text, Nanoseconds now) {
    Nanoseconds burst = (m_options.errorsPerSecond - 1) * m_errorSpacing;
    if (m_errorPace - now > burst)
        return;
    m_errorPace = std::max(m_errorPace, now) + m_errorSpacing;
    sendTo(peer, encodeOscError(text));
}

void OscServer::Loop::note(int kind, std::string text, uint32_t colour, Nanoseconds now) {
    m_kinds.note(kind, std::move(text), colour, now, m_lines);
}

void OscServer::Loop::publishLog() {
    if (m_lines.empty())
        return;
    {
        std::lock_guard lock(m_logMutex);
        for (LogLine& line : m_lines)
            if (m_pending.size() < kPendingLogLines)
                m_pending.push_back(std::move(line));
    }
    m_lines.clear();
    uiwake::poke();
}

std::optional<OscServerOptions> oscOptions(std::string_view port, std::string_view bind,
                                           std::string* error) {
    auto refuse = [&](std::string why) {
        if (error)
            *error = std::move(why);
        return std::nullopt;
    };
    if (port.empty())
        return refuse("");
    int32_t number = 0;
    bool digits =
        port.size() <= 5 && port.find_first_not_of("0123456789") == std::string_view::npos;
    if (digits)
        number = leadingInt(port);
    if (!digits || number < 1 || number > 65535)
        return refuse(
            fillIn(translate("Osc", "oscport \"%1\" is not a port number 1-65535"), {port}));
    OscServerOptions options;
    options.port = uint16_t(number);
    if (!bind.empty())
        options.bindAddress = std::string(bind);
    in_addr probe{};
    if (::inet_pton(AF_INET, options.bindAddress.c_str(), &probe) != 1)
        return refuse(fillIn(translate("Osc", "oscbind \"%1\" is not an IPv4 address"),
                             {options.bindAddress}));
    return options;
}

OscServer::OscServer(OscServerOptions options, RemoteCommandRing& ring, RemoteStateBoard& board)
    : m_options(std::move(options)), m_ring(ring), m_board(board),
      m_loop(std::make_shared<Loop>(m_options, ring, board)) {
    // The listener keeps the loop's descriptor alive, whenever the board calls it.
    m_board.onChange([loop = m_loop] { loop->poke(); });
}

OscServer::~OscServer() {
    stop();
}

bool OscServer::start(std::string* error) {
    if (running())
        return true;
    if (m_loop->wakeDescriptor() < 0) {
        if (error)
            *error = std::strerror(EMFILE);
        return false;
    }
    int fd = openSocket(m_options.bindAddress, m_options.port, error, &m_port);
    if (fd < 0)
        return false;
    m_where = format("%s:%u", m_options.bindAddress.c_str(), unsigned(m_port));
    m_loop->setSocket(fd);
    m_thread = std::thread([loop = m_loop] { loop->run(); });
    return true;
}

void OscServer::stop() {
    if (!running())
        return;
    m_loop->requestStop();
    m_thread.join();
    m_loop->finish();
}

std::vector<LogLine> OscServer::takeLog() {
    return m_loop->takeLog();
}

OscServer::Counts OscServer::counts() const {
    return m_loop->counts();
}

} // namespace orvane
