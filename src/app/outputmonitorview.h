#pragma once
// The output monitor at the foot of the main window: one line with the frames
// per second, the worst frame period of the last ten seconds and the write
// errors of each output in use, refreshed once a second. When olad becomes
// unreachable it says "OLA not reachable" once in the status line, and "OLA
// reachable again" when it is back, each with the peer and the reason (and on
// stderr). User-interface thread only.

#include "dmx/outputmonitor.h"
#include "windows/sharedtick.h"

#include <functional>
#include <string>

class QLabel;
class QWidget;

namespace orvane {

class OutputMonitorView {
public:
    using StatusFn = std::function<void(const std::string&)>;

    // Places the line at the foot of the window's layout or, in a window
    // without one, under everything it shows so far; call it before the
    // window is first shown, so the window makes room for it.
    OutputMonitorView(QWidget& window, const DmxOutput& output, StatusFn status);
    ~OutputMonitorView();
    OutputMonitorView(const OutputMonitorView&) = delete;
    OutputMonitorView& operator=(const OutputMonitorView&) = delete;

    // What the timer does every second.
    void refresh();
    QLabel* label() const { return m_label; }

private:
    void say(const char* what, const std::string& detail);

    OutputMonitor m_monitor;
    StatusFn m_status;
    QLabel* m_label = nullptr;
    SharedTick m_timer;
};

} // namespace orvane
