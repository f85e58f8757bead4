#include "dmx/olasink.h"

#include "dmx/threadsetup.h"
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
// The sender looks for a frame this long after the next one is due, then
// every kPoll until it is there; after kQuiet without a frame it looks every
// kQuietPoll only.
constexpr Nanoseconds kLookAfter = 1ms;
constexpr Nanoseconds kPoll = 1ms;
constexpr Nanoseconds kQuiet = 500ms;
constexpr Nanoseconds kQuietPoll = 10ms;
// Frame intervals outside this range say nothing about the next frame.
constexpr Nanoseconds kLongestPeriod = 1000ms;
// Waiting without a deadline (until woken).
constexpr Nanoseconds kNoDeadline{-1};
constexpr uint32_t kPublishMask = 0x7fffffff;

} // namespace

struct OlaSenderShared {
    explicit OlaSenderShared(OlaSinkOptions o) : options(std::move(o)) {}
    ~OlaSenderShared() {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    OlaSinkOptions options;
    int wakeFd = -1;                     // start, pause and stop wake the sender through it
    UniverseMailbox mailbox;             // output thread -> sender thread
    std::atomic<int64_t> frameTickNs{0}; // the tick time of the newest frame, in ns
    std::atomic<bool> stop{false};
    std::atomic<bool> wanted{false};
    std::atomic<unsigned> universe{1};
    std::atomic<OlaState> state{OlaState::Off};
    std::atomic<uint32_t> outages{0};
    std::atomic<int> reason{0}; // errno of the last failed connection
    SinkStats stats;            // written by the sender thread
    std::unique_ptr<OlaClient> client;

    std::mutex doneMutex;
    std::condition_variable doneChanged;
    bool done = false;
};

namespace {

using Shared = OlaSenderShared;

// The sender thread's loop: connect, look for a frame when the next one is
// due, send the newest. The output thread never wakes it: frames come at a
// steady rate, so the sender follows their cadence on its own timer.
class Sender {
public:
    explicit Sender(Shared& s) : m_s(s) {}

    void run() {
        while (!m_s.stop.load()) {
            if (!m_s.wanted.load()) {
                idle();
                continue;
            }
            if (!m_connected && monotonicNow() >= m_nextAttempt)
                connect();
            waitUntil(m_connected ? nextLook() : m_nextAttempt);
            if (m_connected && m_s.wanted.load() && !m_s.stop.load())
                sendNewest();
        }
        disconnect();
    }

private:
    void idle() {
        disconnect();
        m_s.state.store(OlaState::Off);
        m_nextAttempt = Nanoseconds{0};
        waitUntil(kNoDeadline);
    }

    void connect() {
        if (m_s.state.load() == OlaState::Off)
            m_s.state.store(OlaState::Connecting);
        m_connected = m_s.client->connect();
        m_nextAttempt = monotonicNow() + m_s.options.retry;
        if (m_connected) {
            // Only frames from now on: what waited in the mailbox is old.
            m_published = m_s.mailbox.publishes();
            m_lastTaken = monotonicNow();
            m_s.stats.restartSeries();
            m_s.state.store(OlaState::Connected);
        } else {
            // The reason first: whoever sees the outage finds it.
            m_s.reason.store(m_s.client->lastError());
            if (m_s.state.exchange(OlaState::Unreachable) != OlaState::Unreachable)
                m_s.outages.fetch_add(1);
        }
    }

    void disconnect() {
        if (m_connected)
            m_s.client->disconnect();
        m_connected = false;
    }

    // When to look for the next frame: just after it is due, or soon.
    Nanoseconds nextLook() const {
        Nanoseconds now = monotonicNow();
        Nanoseconds soon = now + (now - m_lastTaken > kQuiet ? kQuietPoll : kPoll);
        Nanoseconds due = m_lastTick + m_period + kLookAfter;
        // Overdue, unknown, or ahead of any tick still to come (tick times
        // from another clock): look soon instead.
        if (m_period == Nanoseconds{0} || due <= now || due > now + m_period + kLookAfter)
            return soon;
        return due;
    }

    void sendNewest() {
        if (m_s.mailbox.publishes() == m_published)
            return;
        uint32_t published = 0;
        m_s.mailbox.read(m_frame, &published); // a mixed frame is still a frame
        uint32_t frames = (published - m_published) & kPublishMask;
        m_published = published;
        if (frames > 1)
            m_s.stats.framesDropped(frames - 1);
        followCadence(frames);
        if (m_s.client->send(m_s.universe.load(), m_frame)) {
            m_s.stats.frameSent(monotonicNow());
            return;
        }
        // Lost: try again at once; olad restarting is the usual cause.
        m_s.stats.writeError();
        disconnect();
        m_nextAttempt = Nanoseconds{0};
    }

    // The frame period from the tick times of the frames taken, spread over
    // every frame published meanwhile, so that a late look finds the frames'
    // own cadence again. One frame after a gap of more than twice the period
    // is a pause (a stalled tick, a route switched off and on), not a slower
    // cadence: the period stays, since looking early costs a few looks while
    // looking late costs frames.
    void followCadence(uint32_t frames) {
        Nanoseconds tick{m_s.frameTickNs.load(std::memory_order_relaxed)};
        Nanoseconds period = (tick - m_lastTick) / std::max<int64_t>(frames, 1);
        bool pause = frames == 1 && m_period > Nanoseconds{0} && period > 2 * m_period;
        if (!pause)
            m_period = period > Nanoseconds{0} && period < kLongestPeriod ? period : Nanoseconds{0};
        m_lastTick = tick;
        m_lastTaken = monotonicNow();
    }

    // Sleeps until deadline (kNoDeadline: until woken); start, pause and stop
    // wake it early.
    void waitUntil(Nanoseconds deadline) {
        timespec timeout{};
        timespec* wait = nullptr;
        if (deadline >= Nanoseconds{0}) {
            int64_t left = std::max(deadline - monotonicNow(), Nanoseconds{0}).count();
            timeout = {time_t(left / 1000000000), long(left % 1000000000)};
            wait = &timeout;
        }
        pollfd p{m_s.wakeFd, POLLIN, 0};
        if (::ppoll(&p, 1, wait, nullptr) > 0) {
            uint64_t count = 0;
            [[maybe_unused]] ssize_t n = ::read(m_s.wakeFd, &count, sizeof count);
        }
    }

    Shared& m_s;
    Universe m_frame{};
    bool m_connected = false;
    Nanoseconds m_nextAttempt{0};
    uint32_t m_published = 0;   // publishes seen
    Nanoseconds m_lastTick{0};  // tick time of the last frame taken
    Nanoseconds m_period{0};    // between the last two frames, 0 if unknown
    Nanoseconds m_lastTaken{0}; // when the last frame was taken
};

void senderThread(std::shared_ptr<Shared> s) {
    // A peer that went away must end a send with an error, not the process.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    nameThisThread("orvane-ola");
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
    bool done = m_shared->doneChanged.wait_for(lock, m_shared->options.stopWait,
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

int OlaSink::lastError() const {
    return m_shared->reason.load();
}

unsigned OlaSink::universe() const {
    return m_shared->universe.load();
}

SinkReading OlaSink::read(Nanoseconds now) const {
    return m_shared->stats.read(now);
}

void OlaSink::sendFrame(std::span<const uint8_t> frame, Nanoseconds now) {
    if (frame.size() != kUniverseSize + 1 || frame[0] != 0)
        return;
    // No system call and no wake-up here: the sender looks on its own.
    m_shared->frameTickNs.store(now.count(), std::memory_order_relaxed);
    m_shared->mailbox.publish(frame.subspan<1, kUniverseSize>());
}

void OlaSink::wake() const {
    uint64_t signal = 1;
    [[maybe_unused]] ssize_t n = ::write(m_shared->wakeFd, &signal, sizeof signal);
}

} // namespace orvane
