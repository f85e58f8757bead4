#include "windows/sharedtick.h"

#include "playback/tickschedule.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <vector>

namespace orvane {

namespace {

int64_t monotonicNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// The one timer, and what it runs. It lives as long as the application object
// (tests make several in turn).
class TickDriver : public QObject {
public:
    explicit TickDriver(QObject* parent) : QObject(parent), m_schedule(monotonicNs()) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { wake(); });
    }

    uint64_t add(int periodMs, QObject* context, std::function<void()> tick) {
        uint64_t id = m_schedule.add(int64_t{periodMs} * 1'000'000, monotonicNs());
        m_ticks[id] = {context, std::make_shared<const std::function<void()>>(std::move(tick))};
        arm();
        return id;
    }
    void remove(uint64_t id) {
        m_ticks.erase(id);
        m_schedule.remove(id);
        arm();
    }
    bool active(uint64_t id) const {
        auto it = m_ticks.find(id);
        return it != m_ticks.end() && it->second.context;
    }

    static inline uint64_t s_wakeups = 0;

private:
    struct Tick {
        QPointer<QObject> context;
        std::shared_ptr<const std::function<void()>> tick;
        uint64_t lastWake = 0; // the wake-up that ran it last
    };

    // Armed again before the ticks run: one of them may open a message box,
    // whose event loop must go on waking the others. A tick still running
    // there is not run again inside itself (as with a timer of its own), and
    // a tick that such a loop has run since is not run again once it ends.
    void wake() {
        uint64_t number = ++s_wakeups;
        std::vector<uint64_t> due;
        due.swap(m_spare); // a wake-up inside a tick's event loop takes a new one
        m_schedule.takeDue(monotonicNs(), due);
        arm();
        for (uint64_t id : due)
            run(id, number);
        due.swap(m_spare);
    }
    void run(uint64_t id, uint64_t wakeNumber) {
        auto it = m_ticks.find(id); // a tick before may have stopped this one
        if (it == m_ticks.end() || it->second.lastWake > wakeNumber ||
            std::count(m_running.begin(), m_running.end(), id))
            return;
        it->second.lastWake = wakeNumber;
        if (!it->second.context) {
            remove(id);
            return;
        }
        // Held here: the tick may stop itself or destroy its own window.
        std::shared_ptr<const std::function<void()>> tick = it->second.tick;
        m_running.push_back(id);
        (*tick)();
        m_running.erase(std::find(m_running.begin(), m_running.end(), id));
    }

    // Whole milliseconds, rounded down: the schedule's slack takes the rest.
    void arm() {
        std::optional<int64_t> next = m_schedule.nextDue();
        if (!next) {
            m_timer.stop();
            return;
        }
        int64_t waitNs = std::max<int64_t>(0, *next - monotonicNs());
        m_timer.start(int(waitNs / 1'000'000));
    }

    TickSchedule m_schedule;
    std::map<uint64_t, Tick> m_ticks;
    std::vector<uint64_t> m_spare;   // the due list, kept between wake-ups
    std::vector<uint64_t> m_running; // the ticks running now, innermost last
    QTimer m_timer;
};

TickDriver* driver() {
    static QPointer<TickDriver> current;
    if (!current && QCoreApplication::instance())
        current = new TickDriver(QCoreApplication::instance());
    return current;
}

} // namespace

void SharedTick::start(int periodMs, QObject* context, std::function<void()> tick) {
    stop();
    m_period = periodMs;
    if (TickDriver* d = driver())
        m_id = d->add(periodMs, context, std::move(tick));
}

void SharedTick::stop() {
    if (m_id == 0)
        return;
    if (TickDriver* d = driver())
        d->remove(m_id);
    m_id = 0;
}

bool SharedTick::isActive() const {
    TickDriver* d = driver();
    return m_id != 0 && d && d->active(m_id);
}

uint64_t SharedTick::wakeups() {
    return TickDriver::s_wakeups;
}

} // namespace orvane
