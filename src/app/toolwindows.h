#pragma once
// The main window's tool windows: the scanner and moving-head controllers, the
// show time window, and the windows opened on demand (timeline, global colour,
// manual mode, easy show builder). Created at their places in the main window's
// initialisation and destroyed in the shutdown order; the main window only holds
// this one object. User-interface thread only.

#include "dmx/universe.h"

#include <QPointer>

#include <memory>

namespace orvane {

class COrvaneDlg;
class GlobalColor;
class ManualMode;
class manualmode;

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

    // "Global Color" (1310): the first use creates the window and shows it; later
    // uses hide it when visible and show it when hidden.
    void toggleGlobalColour();
    GlobalColor* globalColour() const;

    // "Manual Mode and predefined" (1279): opens the mode with its window, or
    // closes both.
    void toggleManualMode();
    bool manualModeOpen() const;
    manualmode* manualModeWindow() const;
    ManualMode& manualModeState() { return *m_manualMode; }
    // The main timer's merge while the mode is open.
    void mergeManual(Universe& staging);
    // The "Easy Show Builder" button (1355) opens the builder.
    void bindEasyShowBuilder();
    // Stores the console into the current step, runs the builder modally from
    // the current step on, then puts the current step back on the console.
    void openEasyShowBuilder();

private:
    void destroyManualMode();
    void destroyGlobalColour();

    COrvaneDlg& m_main;
    std::unique_ptr<ManualMode> m_manualMode;
    QPointer<manualmode> m_manualWindow;
    QPointer<GlobalColor> m_globalColour;
};

} // namespace orvane
