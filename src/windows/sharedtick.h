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
//
// Ticks that only have work while something goes on may rest: each says when
// it has nothing to do (restWhen). Once all of them say so, none of them wakes
// the thread until something happens from outside: an input event, a window
// shown or closed, a socket, a queued call or another timer on the user-
// interface thread, or a poke from another thread (dmx/uiwake.h). Each is then
// due on its grid's next instant, in its place in the order. Each time the
// thread wakes meanwhile, the ticks are asked again.
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
    // While idle() holds for this tick and for every other tick that may rest,
    // they rest. Called after start().
    void restWhen(std::function<bool()> idle);

    static bool resting();

    // How many times the common timer has woken the thread so far.
    static uint64_t wakeups();

private:
    uint64_t m_id = 0;
    int m_period = 0;
};

} // namespace orvane
