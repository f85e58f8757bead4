#pragma once
// The main window's tool windows: the scanner and moving-head controllers, the
// show time window, and the windows opened on demand (timeline, global colour,
// manual mode, easy show builder). Created at their places in the main window's
// initialisation and destroyed in the shutdown order; the main window only holds
// this one object. User-interface thread only.

#include "dmx/universe.h"

#include <QPointer>

#include <array>
#include <memory>

class QPushButton;

namespace orvane {

class COrvaneDlg;
class CovscanDlg;
class FixtureRig;
class GlobalColor;
class ManualModeController;
class TimelineView;
class manualmode;
class ovmovinghead;
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

    // The fixture controllers; null before the fixture windows exist and after shutdown.
    FixtureRig* fixtures() { return m_rig.get(); }
    ovmovinghead* headWindow(int number) const;  // 1..5
    CovscanDlg* scannerWindow(int number) const; // 1..3
    // Brings a moving-head window up from its minimised state, in front.
    void showHead(int number);

    // "Global Color" (1310): the first use creates the window and shows it; later
    // uses hide it when visible and show it when hidden.
    void toggleGlobalColour();
    GlobalColor* globalColour() const;

    // "Manual Mode and predefined" (1279): opens the mode with its window, or
    // closes both.
    void toggleManualMode();
    bool manualModeOpen() const;
    manualmode* manualModeWindow() const;
    // The main timer's merge while the mode is open.
    void mergeManual(Universe& staging);
    // The "Easy Show Builder" button (1355) opens the builder.
    void bindEasyShowBuilder();
    // Stores the console into the current step, runs the builder modally from
    // the current step on, then puts the current step back on the console.
    void openEasyShowBuilder();

    // $ORVANE_OPEN_WINDOWS ("all", or some of "scanners heads globalcolour
    // manualmode builder"): those windows come up as their buttons would bring
    // them, once the main window runs (to watch or measure a full console).
    void openRequestedWindows();

private:
    void createHeadButtons();
    void destroyFixtureWindows();
    void destroyManualMode();
    void destroyGlobalColour();
    void destroyShowTime();
    void destroyTimeline();

    COrvaneDlg& m_main;
    std::unique_ptr<FixtureRig> m_rig;
    std::array<QPointer<CovscanDlg>, 3> m_scanners;
    std::array<QPointer<ovmovinghead>, 5> m_heads;
    std::array<QPointer<QPushButton>, 5> m_headButtons;
    std::unique_ptr<ManualModeController> m_manualMode;
    QPointer<manualmode> m_manualWindow;
    QPointer<GlobalColor> m_globalColour;
    QPointer<showtime2> m_showTime;
    QPointer<timeline> m_timeline;
};

} // namespace orvane
