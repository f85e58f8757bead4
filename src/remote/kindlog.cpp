#include "remote/kindlog.h"

#include "show/language.h"
#include "show/textutil.h"

namespace orvane {

void KindLog::note(int kind, std::string text, uint32_t colour, Nanoseconds now,
                   std::vector<LogLine>& out) {
    auto [it, first] = m_kinds.try_emplace(kind);
    Kind& k = it->second;
    if (!first && now - k.logged < m_interval) {
        ++k.held;
        k.last = std::move(text);
        k.colour = colour;
        return;
    }
    if (k.held)
        reportHeld(k, now, out);
    k.logged = now;
    out.push_back({m_prefix + text, colour});
}

void KindLog::flush(Nanoseconds now, std::vector<LogLine>& out) {
    for (auto& [kind, k] : m_kinds)
        if (k.held && now - k.logged >= m_interval)
            reportHeld(k, now, out);
}

void KindLog::reportHeld(Kind& k, Nanoseconds now, std::vector<LogLine>& out) {
    out.push_back({m_prefix + fillIn(translate("Remote", "%1 more like this, the last: %2"),
                                     {std::to_string(k.held), k.last}),
                   k.colour});
    k.held = 0;
    k.logged = now;
}

std::optional<Nanoseconds> KindLog::nextDue() const {
    std::optional<Nanoseconds> next;
    for (const auto& [kind, k] : m_kinds)
        if (k.held && (!next || k.logged + m_interval < *next))
            next = k.logged + m_interval;
    return next;
}

} // namespace orvane
