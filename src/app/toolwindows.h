#pragma once
// The main window's tool windows: the scanner and moving-head controllers, the
// show time window, and the windows opened on demand (timeline, global colour,
// manual mode, easy show builder). Created at their places in the main window's
// initialisation and destroyed in the shutdown order; the main window only holds
// this one object. User-interface thread only.

#include <QPointer>

namespace orvane {

class COrvaneDlg;
class TimelineView;
class showtime2;
class timeline;

class ToolWindows {
public:
    explicit ToolWindows(COrvaneDlg& main);
    ~ToolWindows();
    ToolWindows(const ToolWindows&) = delete;
    ToolWindows& operator=(const ToolWindows&) = delete;

    // Initialisation: the three scanners (hidden) and five moving heads (minimised).
    void createFixtureWindows();
    // Initialisation: the show time window, hidden.
    void createShowTime();
    // Shutdown: scanners 1-3, moving heads 1-5, show time, manual mode, timeline,
    // global colour, each only if it exists.
    void destroyAll();

    // "Show Time !": the show time window opens over the locked main window,
    // its sliders at the master volumes.
    void openShowTime(int volumeLeft, int volumeRight);
    bool showTimeVisible() const;
    showtime2* showTime() const;

    // "Show Timeline": created on first use around the current step, then
    // hidden and shown in turn.
    void toggleTimeline();
    // The timeline as step activation sees it; null until it exists.
    TimelineView* timelineView() const;
    timeline* timelineWindow() const;

private:
    void destroyShowTime();
    void destroyTimeline();

    COrvaneDlg& m_main;
    QPointer<showtime2> m_showTime;
    QPointer<timeline> m_timeline;
};

} // namespace orvane
