#include "core/tickschedule.h"

#include <algorithm>
#include <utility>

namespace orvane {

// The grid's first instant of this period strictly after t.
Nanoseconds TickSchedule::instantAfter(Nanoseconds period, Nanoseconds t) const {
    if (t < m_origin)
        return m_origin;
    return m_origin + ((t - m_origin) / period + 1) * period;
}

TickSchedule::Id TickSchedule::add(Nanoseconds period, Nanoseconds now) {
    // No period is shorter than the slack: it would be due on every wake-up.
    period = std::max(period, kSlack);
    Id id = s_nextId++;
    m_ticks.push_back({id, period, instantAfter(period, now)});
    return id;
}

void TickSchedule::remove(Id id) {
    std::erase_if(m_ticks, [id](const Tick& t) { return t.id == id; });
}

bool TickSchedule::contains(Id id) const {
    return find(id) != nullptr;
}

const TickSchedule::Tick* TickSchedule::find(Id id) const {
    auto it =
        std::find_if(m_ticks.begin(), m_ticks.end(), [id](const Tick& t) { return t.id == id; });
    return it == m_ticks.end() ? nullptr : &*it;
}

TickSchedule::Tick* TickSchedule::find(Id id) {
    return const_cast<Tick*>(std::as_const(*this).find(id));
}

void TickSchedule::rest(Id id) {
    if (Tick* t = find(id))
        t->resting = true;
}

void TickSchedule::wake(Id id, Nanoseconds now) {
    Tick* t = find(id);
    if (!t || !t->resting)
        return;
    t->resting = false;
    t->due = instantAfter(t->period, now);
}

bool TickSchedule::resting(Id id) const {
    const Tick* t = find(id);
    return t && t->resting;
}

void TickSchedule::takeDue(Nanoseconds now, std::vector<Id>& due) {
    due.clear();
    const Nanoseconds reach = now + kSlack;
    for (Tick& t : m_ticks) {
        if (t.resting || t.due > reach)
            continue;
        due.push_back(t.id);
        // Early by up to the slack, the next instant is the one after this one.
        t.due = instantAfter(t.period, reach);
    }
}

std::optional<Nanoseconds> TickSchedule::nextDue() const {
    std::optional<Nanoseconds> earliest;
    for (const Tick& t : m_ticks)
        if (!t.resting && (!earliest || t.due < *earliest))
            earliest = t.due;
    return earliest;
}

} // namespace orvane
