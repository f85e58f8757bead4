#pragma once
// Log lines of a server's peers held to one line per kind of event per
// interval: the first event of a kind is logged at once, the ones that follow
// within the interval are counted, and the count goes out as one line (with
// the last of them) once the interval has passed. A flood of bad packets thus
// costs the operator's log a line now and then per kind, whatever its size.
//
// Time is a parameter. Not thread-safe: one thread owns it.

#include "core/clock.h"
#include "remote/devicelog.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

class KindLog {
public:
    // prefix starts every line ("OSC: ").
    KindLog(std::string prefix, Nanoseconds interval)
        : m_prefix(std::move(prefix)), m_interval(interval) {}

    // One event of a kind, told as text.
    void note(int kind, std::string text, uint32_t colour, Nanoseconds now,
              std::vector<LogLine>& out);
    // The counts whose interval has passed.
    void flush(Nanoseconds now, std::vector<LogLine>& out);
    // When flush() next has a count to log; none while nothing is held.
    std::optional<Nanoseconds> nextDue() const;

private:
    struct Kind {
        Nanoseconds logged{};
        uint64_t held = 0;
        std::string last;
        uint32_t colour = 0;
    };
    void reportHeld(Kind& k, Nanoseconds now, std::vector<LogLine>& out);

    std::string m_prefix;
    Nanoseconds m_interval;
    std::map<int, Kind> m_kinds;
};

} // namespace orvane
