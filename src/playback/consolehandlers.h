#pragma once
// The live console's handlers on the main window's control table: the output
// switches and disable boxes, the master ramps and the fade-in, the room-plan
// value fields, group and group-visibility buttons, the colour buttons, and the
// buttons that lead to other windows (through hooks). The controls stay the live
// state; the only state kept here is the colour chooser's last colour.
// User-interface thread only.

#include "console/controlmodel.h"
#include "console/showsession.h"
#include "core/clock.h"
#include "playback/maintimer.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

namespace orvane {

class Prompts;

// Where the console's buttons lead out of the console. A hook left empty means
// that part of the program is absent: its button does nothing, except the IP
// link box, which then reports the failed connection.
struct ConsoleHooks {
    std::function<void()> clearAutoFadeDisable;
    // Disables the main window and shows the show-time window with its two
    // sliders at the master volume positions (1397, 1057).
    std::function<void(int volumeLeft, int volumeRight)> showTimeWindow;
    std::function<bool()> openIpLink;  // true when connected (and marked so)
    std::function<void()> closeIpLink; // forces the next message, marks it closed
    std::function<std::string()> ipLinkHost;
    std::function<void()> toggleTimeline;
    std::function<void()> toggleGlobalColour;
    std::function<void()> toggleManualMode;
    std::function<void()> validateHotKeys;
    std::function<void()> repaintMonitor;
};

class ConsoleHandlers {
public:
    ConsoleHandlers(ShowSession& session, MainTimer& timer, Prompts& prompts, const Clock& clock,
                    ConsoleHooks hooks);
    ConsoleHandlers(const ConsoleHandlers&) = delete;
    ConsoleHandlers& operator=(const ConsoleHandlers&) = delete;

    // Registers every handler on the session's control model, once, after the
    // model holds the main window's controls (the colour buttons are found by
    // kind). The handlers reach this object: it must outlive the model's events.
    void bind();

    // Alt+Space: starts the fade-in and checks "Fade in", unless it runs already.
    void fadeInHotKey();

private:
    void bindSwitches();
    void bindRampsAndFade();
    void bindWindows();
    void bindRoomPlan();
    void bindColourButtons();
    void onIpLink();
    void applyValueField(int field);
    void selectGroup(int button, int group);
    void showGroups(int button, std::initializer_list<int> groups);
    void chooseColour(int button);

    ShowSession& m_session;
    ControlModel& m_controls;
    MainTimer& m_timer;
    Prompts& m_prompts;
    const Clock& m_clock;
    ConsoleHooks m_hooks;
    std::optional<uint32_t> m_lastColour; // the chooser's start, kept for the run
};

} // namespace orvane
