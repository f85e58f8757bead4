#pragma once
// The DMX interface as the operator sees it: the device, whether it is open,
// missing, refused or unplugged, and since when. The output thread never
// reports to it directly: a failed break or frame write leaves its errno in
// the line's atomic, which poll() reads. A lost interface is reopened every
// 2 s, on the thread that polls (the user-interface thread), never on the
// output thread. User-interface thread only.

#include "core/clock.h"

#include <cstdint>
#include <string>

namespace orvane {

class DmxLine;
class DmxOutput;

enum class InterfaceState : uint8_t {
    NotStarted, // a chained start waits before it opens the line
    Open,
    NotFound,     // no such device
    NoPermission, // the device belongs to a group the user is not in
    Unplugged,    // a write or line error after it was open
    Failed,       // any other reason, shown with the system's text
    NotUsed,      // the output setting sends to OLA alone
};

constexpr Milliseconds kReopenPeriod{2000};

// The state an open that failed with errno error leaves.
InterfaceState stateOfOpenError(int error);
// "open", "not found", "no permission (add yourself to dialout)", "unplugged", ...
std::string interfaceStateText(InterfaceState state, int error);

class InterfaceWatch {
public:
    // clock: the time of day shown with "since".
    InterfaceWatch(DmxLine& line, DmxOutput& output, const Clock& clock = systemClock());

    // After every start or reset of the output, whatever its result.
    void started(Milliseconds now);
    // Notices a line that failed since the last poll and reopens a lost
    // interface when its 2 s are up. True when the state or reason changed.
    bool poll(Milliseconds now);

    InterfaceState state() const { return m_state; }
    int error() const { return m_error; }
    // The indicator: "<device>: <state>" and "since HH:MM:SS" on a second line.
    std::string text() const;

private:
    bool set(InterfaceState state, int error);
    bool retry(Milliseconds now);

    DmxLine& m_line;
    DmxOutput& m_output;
    const Clock& m_clock;
    InterfaceState m_state = InterfaceState::NotStarted;
    int m_error = 0;
    WallTime m_since;
    Milliseconds m_nextTry{0};
};

} // namespace orvane
