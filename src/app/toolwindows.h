#pragma once
// The main window's tool windows: the scanner and moving-head controllers, the
// show time window, and the windows opened on demand (timeline, global colour,
// manual mode, easy show builder). Created at their places in the main window's
// initialisation and destroyed in the shutdown order; the main window only holds
// this one object. User-interface thread only.

namespace orvane {

class COrvaneDlg;

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

    // The "Easy Show Builder" button (1355) opens the builder.
    void bindEasyShowBuilder();
    // Stores the console into the current step, runs the builder modally from
    // the current step on, then puts the current step back on the console.
    void openEasyShowBuilder();

private:
    COrvaneDlg& m_main;
};

} // namespace orvane
