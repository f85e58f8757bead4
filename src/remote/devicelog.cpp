#include "remote/devicelog.h"

#include "remote/devicetexts.h"
#include "show/language.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

bool LogLimiter::take(Milliseconds now) {
    if (!m_started) {
        m_started = true;
        m_last = now;
    }
    int64_t elapsed = std::max<int64_t>(0, (now - m_last).count());
    m_last = now;
    m_tokensMilli = std::min(int64_t(m_burst) * 1000, m_tokensMilli + elapsed * m_perSecond);
    if (m_tokensMilli < 1000)
        return false;
    m_tokensMilli -= 1000;
    return true;
}

void LogLimiter::reportHeld(std::vector<LogLine>& out) {
    if (m_held == 0)
        return;
    out.push_back(
        {fillIn(translate("IpDevices", "ovi: %1 log lines left out"), {std::to_string(m_held)}),
         kLogDarkRed});
    m_held = 0;
}

void LogLimiter::add(LogLine line, Milliseconds now, std::vector<LogLine>& out) {
    if (!take(now)) {
        ++m_held;
        ++m_heldTotal;
        return;
    }
    // The count of the lines held back goes first, on the same allowance.
    reportHeld(out);
    out.push_back(std::move(line));
}

void LogLimiter::flush(Milliseconds now, std::vector<LogLine>& out) {
    if (m_held > 0 && take(now))
        reportHeld(out);
}

} // namespace orvane
