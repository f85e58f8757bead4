#include "dmx/olasink.h"

#include "dmx/clock.h"
#include "dmx/universemailbox.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace orvane {

namespace {

// Below the output thread's priority: the serial line must never wait for OLA.
constexpr int kSenderPriority = 10;
// The wake-up counter: frames count in the low half, other wake-ups (pause,
// start, stop) in the high half, so that neither is mistaken for the other.
constexpr uint64_t kFrameSignal = 1;
constexpr uint64_t kControlSignal = uint64_t{1} << 32;
constexpr int64_t kNsPerMs = 1000000;

} // namespace

struct OlaSenderShared {
    explicit OlaSenderShared(OlaSinkOptions o) : options(std::move(o)) {}
    ~OlaSenderShared() {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    OlaSinkOptions options;
    int wakeFd = -1;
    UniverseMailbox mailbox; // output thread -> sender thread
    std::atomic<bool> stop{false};
    std::atomic<bool> wanted{false};
    std::atomic<unsigned> universe{1};
    std::atomic<OlaState> state{OlaState::Off};
    std::atomic<uint32_t> outages{0};
    SinkStats stats; // written by the sender thread
    std::unique_ptr<OlaClient> client;

    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
};

namespace {

using Shared = OlaSenderShared;

// The sender thread's loop: connect, wait for a frame, send the newest one.
class Sender {
public:
    explicit Sender(Shared& s) : m_s(s) {}

    void run() {
        while (!m_s.stop.load()) {
            if (!m_s.wanted.load()) {
                idle();
                continue;
            }
            if (!m_connected && monotonicNs() >= m_nextAttemptNs)
                connect();
            uint64_t frames = waitForWake(m_connected ? -1 : msUntil(m_nextAttemptNs));
            if (frames > 0 && m_connected && m_s.wanted.load() && !m_s.stop.load())
                sendNewest(frames);
        }
        disconnect();
    }

private:
    void idle() {
        disconnect();
        m_s.state.store(OlaState::Off);
        m_nextAttemptNs = 0;
        waitForWake(-1);
    }

    void connect() {
        if (m_s.state.load() == OlaState::Off)
            m_s.state.store(OlaState::Connecting);
        m_connected = m_s.client->connect();
        m_nextAttemptNs = monotonicNs() + int64_t{m_s.options.retryMs} * kNsPerMs;
        if (m_connected) {
            m_s.stats.restartSeries();
            m_s.state.store(OlaState::Connected);
        } else if (m_s.state.exchange(OlaState::Unreachable) != OlaState::Unreachable) {
            m_s.outages.fetch_add(1);
        }
    }

    void disconnect() {
        if (m_connected)
            m_s.client->disconnect();
        m_connected = false;
    }

    void sendNewest(uint64_t frames) {
        if (frames > 1)
            m_s.stats.framesDropped(frames - 1);
        m_s.mailbox.read(m_frame); // a mixed frame is still a frame
        if (m_s.client->send(m_s.universe.load(), m_frame)) {
            m_s.stats.frameSent(monotonicNs());
            return;
        }
        // Lost: try again at once; olad restarting is the usual cause.
        m_s.stats.writeError();
        disconnect();
        m_nextAttemptNs = 0;
    }

    // Frames signalled since the last wait; 0 on time-out or a control wake-up.
    uint64_t waitForWake(int timeoutMs) {
        pollfd p{m_s.wakeFd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return 0;
        uint64_t count = 0;
        if (::read(m_s.wakeFd, &count, sizeof count) != sizeof count)
            return 0;
        return count % kControlSignal;
    }

    static int msUntil(int64_t deadlineNs) {
        int64_t left = (deadlineNs - monotonicNs() + kNsPerMs - 1) / kNsPerMs;
        return int(std::clamp<int64_t>(left, 0, 60000));
    }

    Shared& m_s;
    Universe m_frame{};
    bool m_connected = false;
    int64_t m_nextAttemptNs = 0;
};

void senderThread(std::shared_ptr<Shared> s) {
    // A peer that went away must end a send with an error, not the process.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    if (s->options.realtime)
        tryRealtime(kSenderPriority);
    Sender(*s).run();
    std::lock_guard lock(s->doneMutex);
    s->done = true;
    s->doneChanged.notify_all();
}

} // namespace

OlaSink::OlaSink(OlaSinkOptions options)
    : m_shared(std::make_shared<OlaSenderShared>(std::move(options))) {
    m_shared->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

OlaSink::~OlaSink() {
    if (!m_thread.joinable())
        return;
    m_shared->stop.store(true);
    wake();
    std::unique_lock lock(m_shared->doneMutex);
    bool done = m_shared->doneChanged.wait_for(
        lock, std::chrono::milliseconds(m_shared->options.stopWaitMs),
        [this] { return m_shared->done; });
    lock.unlock();
    // A send blocked on a peer that stopped reading must not hold up the
    // program's end; the thread owns what it still uses.
    done ? m_thread.join() : m_thread.detach();
}

OlaSink::StartResult OlaSink::start(unsigned universe) {
    m_shared->universe.store(universe);
    if (!m_thread.joinable()) {
        if (!m_shared->client && m_shared->options.makeClient)
            m_shared->client = m_shared->options.makeClient();
        if (!m_shared->client)
            return StartResult::NoClient;
        if (m_shared->wakeFd < 0)
            return StartResult::NoThread;
        try {
            m_thread = std::thread(senderThread, m_shared);
        } catch (const std::system_error&) {
            return StartResult::NoThread;
        }
    }
    m_shared->wanted.store(true);
    wake();
    return StartResult::Started;
}

void OlaSink::pause() {
    m_shared->wanted.store(false);
    wake();
}

OlaState OlaSink::state() const {
    return m_shared->state.load();
}

uint32_t OlaSink::outages() const {
    return m_shared->outages.load();
}

unsigned OlaSink::universe() const {
    return m_shared->universe.load();
}

SinkReading OlaSink::read(int64_t nowNs) const {
    return m_shared->stats.read(nowNs);
}

void OlaSink::sendFrame(std::span<const uint8_t> frame, int64_t) {
    if (frame.size() != kUniverseSize + 1 || frame[0] != 0)
        return;
    m_shared->mailbox.publish(frame.subspan<1, kUniverseSize>());
    uint64_t signal = kFrameSignal;
    // Never blocks: the counter would have to reach 2^64 - 1 first.
    [[maybe_unused]] ssize_t n = ::write(m_shared->wakeFd, &signal, sizeof signal);
}

void OlaSink::wake() const {
    uint64_t signal = kControlSignal;
    [[maybe_unused]] ssize_t n = ::write(m_shared->wakeFd, &signal, sizeof signal);
}

} // namespace orvane
