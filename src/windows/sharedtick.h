#pragma once
// Periodic work on the user-interface thread without a wake-up per window.
// One timer serves every periodic tick of the application, armed for the next
// instant anything is due on a common grid (TickSchedule): the playback
// clock, eight fixture windows, the tool windows and the indicator polls wake
// the thread 60 times a second in all instead of once per timer each. On a
// laptop every wake-up costs more than the work it does.
//
// Ticks due at the same instant run in the order their owners started them.
// A tick ends with its context object, with stop(), or with the SharedTick.
// User-interface thread only.

#include <cstdint>
#include <functional>

class QObject;

namespace orvane {

class SharedTick {
public:
    SharedTick() = default;
    ~SharedTick() { stop(); }
    SharedTick(const SharedTick&) = delete;
    SharedTick& operator=(const SharedTick&) = delete;

    // Calls tick every periodMs from now on; a running tick is stopped first.
    void start(int periodMs, QObject* context, std::function<void()> tick);
    void stop();
    // False once the context object is gone, too.
    bool isActive() const;
    int interval() const { return m_period; }

    // How many times the common timer has woken the thread so far.
    static uint64_t wakeups();

private:
    uint64_t m_id = 0;
    int m_period = 0;
};

} // namespace orvane
