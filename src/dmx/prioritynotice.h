#pragma once
// What the operator is told about the output thread's scheduling: once the
// thread has run for a moment, whether it got real-time priority (SCHED_FIFO),
// and again should that ever change. Polled on the user-interface thread.

#include "core/clock.h"

#include <optional>
#include <string>

namespace orvane {

// The thread sets its priority as its first act; a poll this long after it
// started sees the outcome.
constexpr Milliseconds kPrioritySettle{200};

std::string priorityText(bool realtime);

class PriorityNotice {
public:
    // running: the output thread was started; realtime: it has SCHED_FIFO.
    // The text to show, when there is something new to say.
    std::optional<std::string> poll(bool running, bool realtime, Milliseconds now);

private:
    std::optional<Milliseconds> m_runningSince;
    std::optional<bool> m_told;
};

} // namespace orvane
