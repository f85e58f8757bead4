#include "dmx/prioritynotice.h"

#include "show/language.h"

namespace orvane {

std::string priorityText(bool realtime) {
    if (realtime)
        return translate("Output priority", "DMX output thread at real-time priority (SCHED_FIFO)");
    return translate("Output priority",
                     "DMX output thread at normal priority: real-time was refused (allow rtprio "
                     "in /etc/security/limits.conf or give orvane CAP_SYS_NICE, see README)");
}

std::optional<std::string> PriorityNotice::poll(bool running, bool realtime, Milliseconds now) {
    if (!running)
        return std::nullopt;
    if (!m_runningSince)
        m_runningSince = now;
    if (now - *m_runningSince < kPrioritySettle || m_told == realtime)
        return std::nullopt;
    m_told = realtime;
    return priorityText(realtime);
}

} // namespace orvane
