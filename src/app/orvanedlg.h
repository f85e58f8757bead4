#pragma once
// The main window (dialog 102): the operator's console. It owns the controls,
// the show session, the timers and the tool windows, runs the fixed
// initialisation order and the save and shutdown sequences.
// User-interface thread only.

#include "app/operatornotices.h"
#include "console/controlmodel.h"
#include "console/inputstate.h"
#include "console/joystick.h"
#include "console/showsession.h"
#include "core/clock.h"
#include "dmx/dmxoutput.h"
#include "dmx/interfacewatch.h"
#include "dmx/serialline.h"
#include "playback/activation.h"
#include "playback/consolehandlers.h"
#include "playback/effectcontrols.h"
#include "playback/maintimer.h"
#include "playback/showrecovery.h"
#include "playback/showsaving.h"
#include "playback/undoredo.h"
#include "programs/processstart.h"
#include "programs/videoplayerclient.h"
#include "programs/windowlookup.h"
#include "sound/soundconsole.h"
#include "startup/startup.h"
#include "windows/sharedtick.h"

#include <QDialog>
#include <QFont>
#include <functional>
#include <map>
#include <memory>

namespace orvane {
class ConsoleDrawing;
class FadeView;
class HotKeys;
class RemoteServices;
class RemoteSurfaces;
class OutputMonitorView;
class ToolWindows;
} // namespace orvane

namespace orvane {

class Prompts;

class COrvaneDlg : public QDialog {
    Q_OBJECT
public:
    COrvaneDlg(ProfileFiles& profiles, Prompts& prompts, std::string root, std::string show,
               StartOptions options, Joystick* joystick = nullptr, QWidget* parent = nullptr);
    ~COrvaneDlg() override;

    ControlModel& controls() { return m_controls; }
    ShowSession& session() { return m_session; }
    QWidget* widget(int id) const;
    // The scrolled area that holds the console's controls.
    QWidget* consoleArea() const { return m_console; }
    DmxOutput& dmx() { return *m_dmx; }
    MainTimer& mainTimer() { return *m_mainTimer; }
    Activation& activation() { return *m_activation; }
    void setJoystickPresent(bool present) { m_joystickPresent = present; }
    Joystick* joystick() const { return m_joystick; }
    bool joystickPresent() const { return m_joystick && m_joystickPresent; }
    // Joystick 1 at start-up: the first centre of the fixtures' joystick steering.
    void setJoystickRest(JoystickPosition rest) { m_joystickRest = rest; }
    JoystickPosition joystickRest() const { return m_joystickRest; }
    InputState& input() { return m_input; }
    const InputState& input() const { return m_input; }
    // The tool windows, and through them the fixture controllers.
    ToolWindows* tools() const { return m_tools.get(); }
    SoundConsole& sound() { return *m_sound; }
    ListModel& soundList() { return m_soundList; }
    RemoteServices& remote() { return *m_remote; }
    ConsoleHandlers& consoleHandlers() { return *m_consoleHandlers; }
    UndoRedo& undoRedo() { return *m_undo; }
    // Null until the show was read.
    ShowRecovery* recovery() const { return m_recovery.get(); }
    // OSC and the web remote; null before the initialisation made them.
    RemoteSurfaces* surfaces() { return m_surfaces.get(); }
    // Null until the console's controls exist.
    ConsoleDrawing* drawing() const { return m_drawing.get(); }
    HotKeys* hotKeys() const { return m_hotKeys.get(); }
    // The services of the extra commands.
    ProcessStarter& processes() { return m_processes; }
    VideoPlayerClient& videoPlayer() { return m_videoPlayer; }
    WindowLookup& windowLookup() { return m_windowLookup; }
    // The playback clock: the program's monotonic clock, counted from the
    // window's creation.
    const Clock& clock() const { return m_clock; }
    Milliseconds now() const { return m_clock.nowMs(); }

    // Starts the DMX output (at start-up, or 5 s in for a chained start); false
    // after telling the operator why it could not.
    bool startDmx();
    // "Reset USB <-> DMX": the line closed and opened again, the operator told
    // when it cannot open.
    void resetDmx();
    // The hot keys of the show's steps, registered again.
    void registerStepHotkeys();
    // A line of the coloured log (0x00BBGGRR).
    void logLine(const std::string& text, uint32_t colour);
    // The log's colour for something refused or not done (a file, a record).
    static constexpr uint32_t kRefusalColour = 0x0000A0;
    // CHAIN=: the save sequence before another show takes over; false when the
    // operator chose to stay.
    bool saveBeforeChain(const std::string& show);
    // CHAIN= and the other commands that end the program from the show.
    void endFromShow(int result);

    // The initialisation order, run once before the window is shown.
    void OnInitDialog();
    // The store-and-leave commands.
    void Save();
    void Quit();
    // SIGTERM, SIGINT: the save sequence without asking anything, then the
    // window ends; a show that could not be saved gives exit status 1. Waits
    // for the initialisation to finish when it comes during it.
    void terminate();
    // The teardown order; runs once, when the dialog has ended.
    void OnDestroy();

    // The window has ended (Quit, close, CHAIN=, a signal).
    bool ended() const { return m_closing; }
    int exitStatus() const { return m_exitStatus; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    void bindHandlers();
    void resetStartControls();
    void setInitialColours();
    void startOutputs();
    void startTimers();
    void selectStartStep();
    bool saveSequence(ShowSaving::Mode mode, bool leaving);
    bool saveSequence(const std::function<bool()>& storeAndWrite);
    void reportShowLoad();
    void refreshEffectsAndHotkeys();
    void onTimer(int id);
    void createConsole();
    void pollDmxStatus();
    void createOutputMonitor();
    QWidget* createScrolledConsole();
    std::string dmxFailureText() const;
    void showCaption();
    void startInterfaceWatch();
    void showInterfaceState();
    void startIpServer();
    void startEditSafety();

    ProfileFiles& m_profiles;
    OperatorNotices m_notices; // no box holds the start-up (operatornotices.h)
    Prompts& m_prompts;        // m_notices
    std::string m_root;
    std::string m_show;
    StartOptions m_options;
    ControlModel m_controls;
    ListModel m_soundList;
    ListModel m_effectList;
    ShowSession m_session;
    ShowSaving m_saving;
    Joystick* m_joystick;
    bool m_joystickPresent = false;
    JoystickPosition m_joystickRest;
    InputState m_input;
    ElapsedClock m_clock{systemClock()};
    std::unique_ptr<MainTimer> m_mainTimer;
    std::unique_ptr<SoundConsole> m_sound;
    DetachedProcessStarter m_processes;
    VideoPlayerClient m_videoPlayer;
    NullWindowLookup m_windowLookup;
    std::unique_ptr<Activation> m_activation;
    std::unique_ptr<StepControls> m_steps;
    std::unique_ptr<EffectControls> m_effects;
    std::unique_ptr<UndoRedo> m_undo;
    std::unique_ptr<ShowRecovery> m_recovery;
    SharedTick m_recoveryTick;
    std::unique_ptr<ConsoleHandlers> m_consoleHandlers;
    std::unique_ptr<ConsoleDrawing> m_drawing;
    std::unique_ptr<HotKeys> m_hotKeys;
    std::unique_ptr<FadeView> m_fadeView; // the fade's label and flash
    std::unique_ptr<ToolWindows> m_tools;
    // Before the line and the DMX output: the output thread calls its tick
    // hooks until the DMX output is gone.
    std::unique_ptr<RemoteServices> m_remote;
    std::unique_ptr<RemoteSurfaces> m_surfaces;
    std::unique_ptr<SerialLine> m_line;
    std::unique_ptr<DmxOutput> m_dmx;
    std::unique_ptr<OutputMonitorView> m_outputMonitor; // reads m_dmx: declared after it
    std::unique_ptr<InterfaceWatch> m_interface;
    QWidget* m_console = nullptr; // the controls, inside the window's scroll area
    SharedTick m_interfaceTick;
    std::map<int, QWidget*> m_widgets;
    std::map<int, SharedTick> m_ticks; // the periodic timers, by timer id
    QFont m_nameFont;
    QFont m_stepFont;
    bool m_destroyed = false;
    bool m_closing = false;
    bool m_initialised = false;
    bool m_dmxStarted = false; // the caption then names the outputs the start chose
    bool m_terminateRequested = false;
    int m_exitStatus = 0;
};

} // namespace orvane
