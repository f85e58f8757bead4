#include "windows/sharedtick.h"

#include "core/tickschedule.h"
#include "dmx/uiwake.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace orvane {

namespace {

// What tells the ticks something happened. Paints and layouts are left out:
// the ticks' own work makes them.
bool isActivity(const QEvent& e) {
    switch (e.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Close:
    case QEvent::WindowStateChange:
    case QEvent::SockAct:
    case QEvent::SockClose:
    case QEvent::MetaCall:
    case QEvent::Timer:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

Nanoseconds now() {
    return systemClock().now();
}

// The one timer, and what it runs. It lives as long as the application object
// (tests make several in turn).
class TickDriver : public QObject {
public:
    explicit TickDriver(QObject* parent) : QObject(parent), m_schedule(now()) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { wake(); });
        openWakeFd();
        parent->installEventFilter(this);
    }
    ~TickDriver() override { uiwake::setResting(false); }

    uint64_t add(int periodMs, QObject* context, std::function<void()> tick) {
        uint64_t id = m_schedule.add(Milliseconds{periodMs}, now());
        m_ticks[id] = {
            context, std::make_shared<const std::function<void()>>(std::move(tick)), 0, {}};
        wakeResting(); // a window that starts ticking wakes the others
        arm();
        return id;
    }
    void restWhen(uint64_t id, std::function<bool()> idle) {
        auto it = m_ticks.find(id);
        if (it != m_ticks.end())
            it->second.idle = std::make_shared<const std::function<bool()>>(std::move(idle));
    }
    bool asleep() const { return m_asleep; }
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
        uint64_t lastWake = 0;                             // the wake-up that ran it last
        std::shared_ptr<const std::function<bool()>> idle; // none: never rests
        // The pokes counted as the tick last began: what it has read up to.
        // (An event on this thread wakes the ticks too, but their idle checks
        // see what it did.)
        uint64_t pokesRead = 0;
    };

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (m_asleep && receiver != &m_timer && isActivity(*event))
            wakeResting();
        return false;
    }

    void openWakeFd() {
        m_wakeFd = uiwake::descriptor();
        if (m_wakeFd < 0)
            return; // then nothing rests
        auto* notifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            uiwake::drain();
            wakeResting();
        });
    }

    // After a wake-up's ticks: asleep, the ticks are asked whether they
    // still have nothing to do; awake, whether they all have nothing to do.
    // Ticks of different periods are due at different instants, so one
    // wake-up may run some of them only: the thread rests only once every
    // tick has run since the last poke. A poke that comes after
    // the flag went up writes to the descriptor instead.
    void settle() {
        if (m_wakeFd < 0 || !m_running.empty())
            return; // inside a tick's own event loop: its tick still runs
        uiwake::setResting(true);
        if (!allIdle()) {
            wakeResting();
            return;
        }
        if (m_asleep)
            return;
        for (auto& [id, tick] : m_ticks)
            if (tick.idle)
                m_schedule.rest(id);
        m_asleep = true;
        arm();
    }
    bool allIdle() {
        bool any = false;
        for (auto& [id, tick] : m_ticks) {
            if (!tick.idle)
                continue;
            std::shared_ptr<const std::function<bool()>> idle = tick.idle;
            if (!tick.context || tick.pokesRead != uiwake::pokes() || !(*idle)())
                return false;
            any = true;
        }
        return any;
    }
    void wakeResting() {
        uiwake::setResting(false);
        if (!m_asleep)
            return;
        m_asleep = false;
        Nanoseconds at = now();
        for (auto& [id, tick] : m_ticks)
            m_schedule.wake(id, at);
        arm();
    }

    // Armed again before the ticks run: one of them may open a message box,
    // whose event loop must go on waking the others. A tick still running
    // there is not run again inside itself (as with a timer of its own), and
    // a tick that such a loop has run since is not run again once it ends.
    void wake() {
        uint64_t number = ++s_wakeups;
        std::vector<uint64_t> due;
        due.swap(m_spare); // a wake-up inside a tick's event loop takes a new one
        m_schedule.takeDue(now(), due);
        arm();
        for (uint64_t id : due)
            run(id, number);
        due.swap(m_spare);
        settle();
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
        it->second.pokesRead = uiwake::pokes();
        m_running.push_back(id);
        (*tick)();
        m_running.erase(std::find(m_running.begin(), m_running.end(), id));
    }

    // Whole milliseconds, rounded down: the schedule's slack takes the rest.
    void arm() {
        std::optional<Nanoseconds> next = m_schedule.nextDue();
        if (!next) {
            m_timer.stop();
            return;
        }
        Nanoseconds wait = std::max(Nanoseconds{0}, *next - now());
        m_timer.start(int(toMs(wait).count()));
    }

    TickSchedule m_schedule;
    std::map<uint64_t, Tick> m_ticks;
    std::vector<uint64_t> m_spare;   // the due list, kept between wake-ups
    std::vector<uint64_t> m_running; // the ticks running now, innermost last
    QTimer m_timer;
    int m_wakeFd = -1;
    bool m_asleep = false;
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

void SharedTick::restWhen(std::function<bool()> idle) {
    if (TickDriver* d = driver(); d && m_id)
        d->restWhen(m_id, std::move(idle));
}

bool SharedTick::resting() {
    TickDriver* d = driver();
    return d && d->asleep();
}

uint64_t SharedTick::wakeups() {
    return TickDriver::s_wakeups;
}

} // namespace orvane
