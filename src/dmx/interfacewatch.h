#pragma once
// The DMX interface as the operator sees it: the device, whether it is open,
// missing, refused or unplugged, and since when. The output thread never
// reports to it directly: a failed break or frame write leaves its errno in
// the line's atomic, which poll() reads. A lost interface is reopened every
// 2 s, on the thread that polls (the user-interface thread), never on the
// output thread. User-interface thread only.

#include <cstdint>
#include <ctime>
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

constexpr int64_t kReopenPeriodMs = 2000;

// The state an open that failed with errno error leaves.
InterfaceState stateOfOpenError(int error);
// "open", "not found", "no permission (add yourself to dialout)", "unplugged", ...
std::string interfaceStateText(InterfaceState state, int error);

class InterfaceWatch {
public:
    InterfaceWatch(DmxLine& line, DmxOutput& output);

    // After every start or reset of the output, whatever its result.
    void started(int64_t nowMs);
    // Notices a line that failed since the last poll and reopens a lost
    // interface when its 2 s are up. True when the state or reason changed.
    bool poll(int64_t nowMs);

    InterfaceState state() const { return m_state; }
    int error() const { return m_error; }
    // The indicator: "<device>: <state>" and "since HH:MM:SS" on a second line.
    std::string text() const;

private:
    bool set(InterfaceState state, int error);
    bool retry(int64_t nowMs);

    DmxLine& m_line;
    DmxOutput& m_output;
    InterfaceState m_state = InterfaceState::NotStarted;
    int m_error = 0;
    std::time_t m_since = std::time(nullptr);
    int64_t m_nextTryMs = 0;
};

} // namespace orvane
