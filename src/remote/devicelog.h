#pragma once
// Keeps the device server's lines in the window's log within bounds whatever
// the devices do: a burst of lines passes, then only so many a second; the
// lines held back are counted and the count is logged once lines flow again
// (at most one count line beside each line that passes).

#include "core/clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

struct LogLine {
    std::string text;
    uint32_t colour = 0; // 0x00BBGGRR

    bool operator==(const LogLine&) const = default;
};

class LogLimiter {
public:
    LogLimiter(int burst, int perSecond) : m_burst(burst), m_perSecond(perSecond) {
        m_tokensMilli = int64_t(burst) * 1000;
    }

    // Appends line to out when it may go now, preceded by the count of the
    // lines held back before it.
    void add(LogLine line, Milliseconds now, std::vector<LogLine>& out);
    // Logs the count of held-back lines once lines may flow again.
    void flush(Milliseconds now, std::vector<LogLine>& out);
    uint64_t heldBack() const { return m_heldTotal; }

private:
    bool take(Milliseconds now);
    void reportHeld(std::vector<LogLine>& out);

    int m_burst;
    int m_perSecond;
    int64_t m_tokensMilli;
    Milliseconds m_last{0};
    bool m_started = false;
    uint32_t m_held = 0;
    uint64_t m_heldTotal = 0;
};

} // namespace orvane
