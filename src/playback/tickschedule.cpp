#include "playback/tickschedule.h"

#include <algorithm>

namespace orvane {

// The grid's first instant of this period strictly after t.
int64_t TickSchedule::instantAfter(int64_t period, int64_t t) const {
    if (t < m_origin)
        return m_origin;
    return m_origin + ((t - m_origin) / period + 1) * period;
}

TickSchedule::Id TickSchedule::add(int64_t periodNs, int64_t nowNs) {
    // No period is shorter than the slack: it would be due on every wake-up.
    periodNs = std::max(periodNs, kSlackNs);
    Id id = s_nextId++;
    m_ticks.push_back({id, periodNs, instantAfter(periodNs, nowNs)});
    return id;
}

void TickSchedule::remove(Id id) {
    std::erase_if(m_ticks, [id](const Tick& t) { return t.id == id; });
}

bool TickSchedule::contains(Id id) const {
    return std::any_of(m_ticks.begin(), m_ticks.end(), [id](const Tick& t) { return t.id == id; });
}

void TickSchedule::takeDue(int64_t nowNs, std::vector<Id>& due) {
    due.clear();
    const int64_t reach = nowNs + kSlackNs;
    for (Tick& t : m_ticks) {
        if (t.due > reach)
            continue;
        due.push_back(t.id);
        // Early by up to the slack, the next instant is the one after this one.
        t.due = instantAfter(t.period, reach);
    }
}

std::optional<int64_t> TickSchedule::nextDue() const {
    if (m_ticks.empty())
        return std::nullopt;
    auto earliest = std::min_element(m_ticks.begin(), m_ticks.end(),
                                     [](const Tick& a, const Tick& b) { return a.due < b.due; });
    return earliest->due;
}

} // namespace orvane
