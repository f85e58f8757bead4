#include "app/orvanedlg.h"
#include "console/controlids.h"

#include "app/activationadapter.h"
#include "app/appicon.h"
#include "app/consoleadapter.h"
#include "app/consoledrawing.h"
#include "app/dmxadapter.h"
#include "app/editsadapter.h"
#include "app/fadeadapter.h"
#include "app/hotkeys.h"
#include "app/keystatefilter.h"
#include "app/maintimeradapter.h"
#include "app/outputmonitorview.h"
#include "app/remoteservices.h"
#include "app/remotesurfaces.h"
#include "app/soundadapter.h"
#include "app/toolwindows.h"
#include "app/undokeys.h"
#include "console/consoletable.h"
#include "console/stepspin.h"
#include "dmx/prioritynotice.h"
#include "show/language.h"
#include "show/prompts.h"
#include "show/showfolders.h"
#include "show/textutil.h"
#include "startup/showchooser.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"
#include "windows/extrahelp.h"
#include "windows/theme.h"
#include "windows/windowmemory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMetaObject>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <cstring>

namespace orvane {

namespace {

// Shutter boxes unchecked, group-visibility buttons checked, at every start.
constexpr int kShutterBoxes[] = {1012, 1013, 1014, 1015};
constexpr int kGroupButtons[] = {1299, 1300, 1301, 1304, 1303, 1305};

// Colour buttons start black; the next-step panel's companions start white.
constexpr int kBlackSwatches[] = {2038, 2006, 2007, 2008, 2009, 2027, 2028,
                                  2002, 2003, 2004, 2005, 1125, 2001};
constexpr int kWhiteSwatches[] = {2000, 1129, 1155, 1159, 1263, 1268, 1325, 1131, 1132};

// The main window's timers: the playback clock, the joystick, the delayed DMX
// start of a chained start, the IP device service.
constexpr int kTimerPlayback = timers::kPlayback;
constexpr int kTimerJoystick = timers::kJoystick;
constexpr int kTimerChainedStart = timers::kChainedStart;

// The console scales down to this share of its layout before it scrolls: its
// texts stay readable there. The output monitor's line below it needs this room.
constexpr double kConsoleFloorScale = 0.6;
constexpr int kMonitorLineRoom = 24;
// The main window's size in the profile.
constexpr const char* kPlacementName = "main";

// How often the DMX interface indicator looks at the line.
constexpr int kInterfacePollMs = 250;
// The log line about the output thread's priority, in dark grey.
constexpr uint32_t kPriorityColour = 0x404040;

// The step field takes digits only, and no number above the last step: a key
// that would make one is refused.
class StepNumberValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (input.isEmpty())
            return Intermediate;
        if (input.size() > 3)
            return Invalid;
        for (QChar c : input)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return Invalid;
        return input.toInt() < kStepCount ? Acceptable : Invalid;
    }
};

} // namespace

COrvaneDlg::COrvaneDlg(ProfileFiles& profiles, Prompts& prompts, std::string root, std::string show,
                       StartOptions options, Joystick* joystick, QWidget* parent)
    : QDialog(parent), m_profiles(profiles), m_notices(prompts), m_prompts(m_notices),
      m_root(std::move(root)), m_show(std::move(show)), m_options(std::move(options)),
      m_session(profiles, m_controls), m_saving(m_session, m_prompts), m_joystick(joystick) {
    auto message = [this](std::string_view title, std::string_view text) {
        m_notices.messageLater(title, text);
    };
    m_remote = std::make_unique<RemoteServices>(profiles, m_prompts, [this] {
        return m_mainTimer ? m_mainTimer->composer().currentColour() : CurrentColour{};
    });
    m_line = std::make_unique<SerialLine>(message);
    DmxOutputOptions o;
    o.message = message;
    o.hooks = &m_remote->remote().tickHooks();
    o.dmxPortSetting = [this] { return setting(m_profiles, "dmxport", ""); };
    o.outputSetting = [this] { return setting(m_profiles, "output", ""); };
    o.olaUniverseSetting = [this] { return setting(m_profiles, "olauniverse", ""); };
    o.frameRateSetting = [this] { return setting(m_profiles, "framerate", ""); };
    o.breakSetting = [this] { return setting(m_profiles, "breakus", ""); };
    m_dmx = std::make_unique<DmxOutput>(*m_line, std::move(o));
    m_interface = std::make_unique<InterfaceWatch>(*m_line, *m_dmx);
    qApp->installEventFilter(new KeyStateFilter(m_dmx->keys(), m_input, this));
    m_mainTimer = std::make_unique<MainTimer>(m_session, m_input, mainTimerHooks(*this));
    m_sound = std::make_unique<SoundConsole>(m_controls, m_soundList,
                                             soundOptions(*this, soundFolder(m_root, m_show)));
    m_activation = std::make_unique<Activation>(m_session, m_controls, activationHooks(*this),
                                                extraServices(*this));
    m_steps = std::make_unique<StepControls>(m_controls, m_session, m_prompts, editHooks(*this));
    m_effects = std::make_unique<EffectControls>(m_controls, m_session, m_prompts, m_effectList);
    m_undo = std::make_unique<UndoRedo>(m_controls, m_session, undoHooks(*this));
}

// A chained show takes over: this show is saved before it starts, as Quit
// saves it; a failed save leaves the choice to the operator.
bool COrvaneDlg::saveBeforeChain(const std::string& show) {
    return saveSequence([this, &show] { return m_saving.chainTo(show); });
}

void COrvaneDlg::endFromShow(int result) {
    m_closing = true;
    done(result);
}

// The console's handlers, its drawing and the hot keys, once the controls exist.
void COrvaneDlg::createConsole() {
    m_drawing = std::make_unique<ConsoleDrawing>(m_session.console(), m_mainTimer->output());
    m_drawing->install(widget(1051), widget(1346));
    m_consoleHandlers = std::make_unique<ConsoleHandlers>(m_session, *m_mainTimer, m_prompts,
                                                          m_clock, consoleHooks(*this));
    m_consoleHandlers->bind();
    m_hotKeys = std::make_unique<HotKeys>(this, m_controls, hotKeyActions(*this));
    m_fadeView = std::make_unique<FadeView>(m_controls, m_mainTimer->fadeFeedback(),
                                            widget(console::kFadeProgress));
}

COrvaneDlg::~COrvaneDlg() {
    // The model dies before the widgets: cut the binding first.
    if (m_console)
        unbindDialog(m_console);
    OnDestroy();
    m_hotKeys.reset();
    m_fadeView.reset();
    m_drawing.reset();
    m_tools.reset();
}

QWidget* COrvaneDlg::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

void COrvaneDlg::OnInitDialog() {
    m_remote->remote().createPipeServers(); // 2
    createControls();
    m_notices.setWindow(this, [this](const std::string& text) {
        m_controls.setText(console::kStatus, text);
        logLine(text, kRefusalColour);
    });
    m_remote->attachLog(widget(console::kLog));
    resetStartControls();           // 3
    showCaption();                  // 4
    m_session.open(m_root, m_show); // 5
    bindHandlers();                 // 6
    bindDmxControls(*this, showFolder(m_root, m_show) + "/dmxraw.bin");
    createConsole();
    m_nameFont = QFont("Arial", 24); // 7
    if (QWidget* w = widget(console::kStepName))
        setDesignFont(w, m_nameFont);
    m_tools = std::make_unique<ToolWindows>(*this); // 8, 9
    m_tools->createFixtureWindows();
    m_remote->connectHeads(m_tools->fixtures());
    m_tools->createShowTime();
    m_tools->bindEasyShowBuilder();
    m_tools->openRequestedWindows();
    // OSC and the web remote: made now, opened with the DMX line.
    m_surfaces = std::make_unique<RemoteSurfaces>(*this);
    setWindowIcon(applicationIcon()); // 10
    m_stepFont = QFont("arial", 50);
    if (QWidget* w = widget(console::kStepNumber))
        setDesignFont(w, m_stepFont);
    // 11: the ranges come with the control table.
    setInitialColours();           // 12
    m_sound->applyStartupVolume(); // 13
    createOutputMonitor();         // its line needs room before 14
    show();                        // 14
    repaint();
    m_sound->loadBank();                             // 15
    m_controls.setText(console::kStepInfo, "");      // 16
    m_controls.setText(console::kMonitorStart, "1"); // the monitor starts at channel 1
    m_controls.setChecked(console::kJoystick, false);
    m_controls.setChecked(console::kVolumeLocked, true);
    m_session.loadShow(); // 17
    reportShowLoad();
    m_recovery = std::make_unique<ShowRecovery>(m_session, recoveryHooks(*this));
    m_recovery->recoverAtStart();
    m_session.ShowCurrentStep(false);
    startInterfaceWatch();
    startOutputs();              // 18
    refreshEffectsAndHotkeys();  // 19
    startTimers();               // 20
    m_hotKeys->registerFadeIn(); // 21
    selectStartStep();           // 22
    if (!m_options.chained())
        m_notices.startupOver(); // a chained start's is over once its DMX output starts
    startEditSafety();
    m_initialised = true;
    if (m_terminateRequested)
        terminate();
}

// What reading the show file met goes to the log and the status line.
void COrvaneDlg::reportShowLoad() {
    std::optional<ShowSaving::Notice> notice = m_saving.afterLoad();
    if (!notice)
        return;
    m_controls.setText(console::kStatus, notice->text);
    logLine(notice->text, notice->error ? makeColour(255, 0, 0) : makeColour(255, 128, 0));
}

void COrvaneDlg::logLine(const std::string& text, uint32_t colour) {
    if (QWidget* log = widget(console::kLog))
        appendLogLine(log, text, colour);
}

// The console's 1900 x 1000 layout scales with the window, fonts with it,
// down to a floor that keeps every text readable; below it the scroll area
// scrolls. The window opens at the size it had when it last closed, else as
// large as the screen allows up to the layout's own size.
QWidget* COrvaneDlg::createScrolledConsole() {
    auto* area = new QScrollArea(this);
    area->setFrameShape(QFrame::NoFrame);
    area->setBackgroundRole(QPalette::Window);
    area->setWidgetResizable(true);
    auto* content = new QWidget;
    const QSize design(kConsoleWidth, kConsoleHeight);
    content->setMinimumSize(design * kConsoleFloorScale);
    content->setAutoFillBackground(true);
    new DialogScale(content, design);
    area->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(area);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setSizeGripEnabled(true);
    std::optional<WindowPlacement> remembered = rememberedPlacement(m_profiles, kPlacementName);
    const QSize withMonitor(kConsoleWidth, kConsoleHeight + kMonitorLineRoom);
    placeCentred(this,
                 openingSize(remembered, withMonitor, clientRoom(this).size(), kConsoleFloorScale));
    if (remembered && remembered->maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    return content;
}

void COrvaneDlg::createControls() {
    populateConsole(m_controls);
    std::map<int, ListModel*> lists = {{console::kSoundList, &m_soundList},
                                       {console::kPredefinedEffect, &m_effectList}};
    m_console = createScrolledConsole();
    m_widgets = buildDialog(m_console, consoleControls(), m_controls, lists);
    setToolTips(m_widgets, consoleToolTips());
    // The step field takes a step number and nothing else.
    if (auto* step = qobject_cast<QLineEdit*>(widget(console::kStepNumber)))
        step->setValidator(new StepNumberValidator(step));
    // The whole console sits on the same solid ground, the theme's.
    QPalette p = palette();
    p.setColor(QPalette::Window, theme().colours().console);
    setPalette(p);
    setAutoFillBackground(true);
    // The picture the operator picks colours from: every hue across, from white
    // at the top through full colour to black at the bottom.
    setPaintHook(widget(console::kPicture), [](QPainter& p, QRect r) {
        QLinearGradient hues(r.topLeft(), r.topRight());
        for (int i = 0; i <= 6; ++i)
            hues.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 255, 255));
        p.fillRect(r, hues);
        QLinearGradient shade(r.topLeft(), r.bottomLeft());
        shade.setColorAt(0.0, QColor(255, 255, 255, 255));
        shade.setColorAt(0.4, QColor(255, 255, 255, 0));
        shade.setColorAt(0.6, QColor(0, 0, 0, 0));
        shade.setColorAt(1.0, QColor(0, 0, 0, 255));
        p.fillRect(r, shade);
    });
    m_session.setRepaintNow([this] {
        if (QWidget* w = widget(console::kStepInfo))
            w->repaint();
    });
}

void COrvaneDlg::resetStartControls() {
    for (int c : kShutterBoxes)
        m_controls.setChecked(c, false);
    for (int c : kGroupButtons)
        m_controls.setChecked(c, true);
}

void COrvaneDlg::bindHandlers() {
    m_controls.on(ControlEvent::TextChanged, console::kStepNumber,
                  [this] { m_activation->activate(); });
    m_controls.on(ControlEvent::Clicked, console::kHelp, [this] {
        extrahelp help(this);
        help.exec();
    });
    m_controls.on(ControlEvent::Clicked, console::kSave, [this] { Save(); });
    m_controls.on(ControlEvent::Clicked, console::kQuit, [this] { Quit(); });
    bindStepSpin(m_controls);
    m_steps->bind();
    m_effects->bind();
    m_sound->bind();
}

void COrvaneDlg::setInitialColours() {
    for (int c : kBlackSwatches)
        m_controls.setColour(c, 0);
    for (int c : kWhiteSwatches)
        m_controls.setColour(c, makeColour(255, 255, 255));
}

void COrvaneDlg::startOutputs() {
    if (m_options.chained()) {
        // A chained start leaves the line to the instance that started it for a while.
        QTimer::singleShot(5000, this, [this] {
            onTimer(kTimerChainedStart);
            m_notices.startupOver();
        });
        return;
    }
    startDmx();
    startIpServer();
    m_surfaces->start();
}

// The IP device server, and with it timer 1235; string 8 when it cannot start.
void COrvaneDlg::startIpServer() {
    if (!m_remote->startIpServer())
        return;
    m_ticks[timers::kIpService].start(1000, this, [this] { onTimer(timers::kIpService); });
}

bool COrvaneDlg::startDmx() {
    int result = m_dmx->start();
    m_dmxStarted = true;
    m_interface->started(now());
    showInterfaceState();
    showCaption();
    if (result == 0)
        return true;
    m_prompts.message(kProgramTitle, dmxFailureText(), PromptIcon::Error);
    return false;
}

// The caption names where DMX goes: before the output starts, where the
// settings send it; then where the last start sent it.
void COrvaneDlg::showCaption() {
    OutputChoice outputs = m_dmxStarted
                               ? m_dmx->outputs()
                               : chooseOutputs(setting(m_profiles, "output", ""),
                                               setting(m_profiles, "olauniverse", ""), nullptr);
    setWindowTitle(
        QString::fromStdString(mainCaption(m_show, describeOutputs(outputs, m_dmx->device()))));
}

// String 7 with the device and the reason.
std::string COrvaneDlg::dmxFailureText() const {
    InterfaceState state = stateOfOpenError(m_dmx->openError());
    std::string reason = interfaceStateText(state, m_dmx->openError());
    if (state != InterfaceState::Failed && m_dmx->openError())
        reason += format(" (%s)", std::strerror(m_dmx->openError()));
    return fillIn(translate("Main window", "No DMX output for now: %1 %2; the interface is tried "
                                           "again every 2 seconds"),
                  {m_dmx->device(), reason});
}

// The indicator follows the line's state off the output thread, and reopens
// an interface that went away.
void COrvaneDlg::startInterfaceWatch() {
    showInterfaceState();
    auto priority = std::make_shared<PriorityNotice>();
    m_interfaceTick.start(kInterfacePollMs, this, [this, priority] {
        if (m_interface->poll(now()))
            showInterfaceState();
        // Whether the output thread got real-time priority: status line and log.
        if (auto text = priority->poll(m_dmx->tickRunning(), m_dmx->tickRealtime(), now())) {
            m_controls.setText(console::kStatus, *text);
            appendLogLine(widget(console::kLog), *text, kPriorityColour);
        }
    });
}

void COrvaneDlg::showInterfaceState() {
    std::string text = m_interface->text();
    m_controls.setText(console::kDmxInterface, text);
    if (QWidget* w = widget(console::kDmxInterface))
        w->setToolTip(QString::fromStdString(text));
}

void COrvaneDlg::resetDmx() {
    int result = m_dmx->reset();
    m_interface->started(now());
    showInterfaceState();
    if (result != 0)
        m_prompts.message(kProgramTitle, dmxFailureText(), PromptIcon::Stop);
}

void COrvaneDlg::pollDmxStatus() {
    if (auto text = m_dmx->pollStatus())
        m_controls.setText(console::kStatus, *text);
    // Records the disk did not take in time, or a write that failed.
    if (auto report = m_dmx->pollRecordingReport()) {
        m_controls.setText(console::kStatus, *report);
        logLine(*report, kRefusalColour);
    }
}

// Before the window is shown, so that the window makes room for its line.
void COrvaneDlg::createOutputMonitor() {
    m_outputMonitor =
        std::make_unique<OutputMonitorView>(*this, *m_dmx, [this](const std::string& text) {
            m_controls.setText(console::kStatus, text);
        });
}

void COrvaneDlg::startTimers() {
    for (auto timerAndPeriod : {std::pair{kTimerPlayback, 20}, std::pair{kTimerJoystick, 50}}) {
        int timer = timerAndPeriod.first, period = timerAndPeriod.second;
        m_ticks[timer].start(period, this, [this, timer] { onTimer(timer); });
        m_ticks[timer].restWhen([this] { return m_mainTimer->idle(); });
    }
}

// Undo and redo keys in every window; the recovery file kept from now on.
void COrvaneDlg::startEditSafety() {
    qApp->installEventFilter(
        new UndoKeys([this] { m_undo->undo(); }, [this] { m_undo->redo(); }, this));
    m_saving.setAfterSave([this] { m_recovery->saved(); });
    m_recovery->settle();
    m_recoveryTick.start(int(ShowRecovery::kPeriod.count()), this, [this] { m_recovery->tick(); });
    m_recoveryTick.restWhen([this] { return m_recovery->idle(); });
}

void COrvaneDlg::onTimer(int timer) {
    if (timer == kTimerPlayback) {
        pollDmxStatus();
        m_remote->remote().poll(now());
        m_surfaces->beforeTick(); // remote commands, composed in this round
    }
    m_mainTimer->OnTimer(timer, now());
    if (timer == kTimerPlayback)
        m_surfaces->afterTick(); // the state the remotes show
    else if (timer == kTimerChainedStart)
        m_surfaces->start(); // with the DMX line
    if (timer == kTimerPlayback && m_fadeView)
        m_fadeView->refresh();
}

void COrvaneDlg::selectStartStep() {
    int remembered = m_profiles.readInt(userProfilePath(), "savelast", "stepnum", 0);
    int step = chooseStartStep(m_options, remembered);
    m_controls.setText(console::kStepNumber, format("%u", unsigned(step)));
}

void COrvaneDlg::refreshEffectsAndHotkeys() {
    m_effects->FillEffectList();
    registerStepHotkeys();
}

void COrvaneDlg::registerStepHotkeys() {
    if (m_hotKeys)
        m_hotKeys->validateStepHotKeys(m_session.store());
}

// The save sequence; leaving, a failed save asks whether to go all the same.
// True when the program may go on as the command asked.
bool COrvaneDlg::saveSequence(ShowSaving::Mode mode, bool leaving) {
    return saveSequence([this, mode, leaving] {
        return leaving ? m_saving.saveBeforeLeaving(mode) : m_saving.save(mode);
    });
}

bool COrvaneDlg::saveSequence(const std::function<bool()>& storeAndWrite) {
    registerStepHotkeys();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool saved = storeAndWrite();
    QApplication::restoreOverrideCursor();
    return saved;
}

void COrvaneDlg::Save() {
    saveSequence(ShowSaving::Mode::Asking, false);
}

void COrvaneDlg::Quit() {
    if (!saveSequence(ShowSaving::Mode::Asking, true))
        return; // the operator stays to save again
    m_closing = true;
    done(1);
}

void COrvaneDlg::terminate() {
    if (!m_initialised) {
        m_terminateRequested = true;
        return;
    }
    if (m_closing)
        return;
    m_closing = true;
    m_exitStatus = saveSequence(ShowSaving::Mode::Terminating, true) ? 0 : 1;
    done(0);
}

void COrvaneDlg::closeEvent(QCloseEvent* event) {
    if (!m_closing) {
        if (!saveSequence(ShowSaving::Mode::Asking, true)) {
            event->ignore();
            return;
        }
        m_closing = true;
    }
    event->accept();
    QDialog::done(0);
}

void COrvaneDlg::reject() {
    // Escape must never end the show without saving; the close box and Quit do.
}

void COrvaneDlg::OnDestroy() {
    if (m_destroyed)
        return;
    m_destroyed = true;
    rememberPlacement(m_profiles, kPlacementName, this);
    if (m_surfaces)
        m_surfaces->stop(); // no remote command from here on
    // Changes no save took stay in the recovery file; a clean quit removed it.
    m_recoveryTick.stop();
    if (m_recovery)
        m_recovery->finish();
    QThread::msleep(500);
    m_interfaceTick.stop(); // a closed line is not reopened any more
    m_dmx->closeLine();
    m_remote->remote().stopIpServer(); // 3
    if (m_controls.checked(console::kIpLink))
        m_remote->remote().closeIpLink();
    m_session.CommitCurrentStep();
    for (int t : {kTimerPlayback, kTimerJoystick})
        m_ticks[t].stop();
    QThread::msleep(500);
    m_sound->shutdown();
    m_remote->connectHeads(nullptr); // the head windows go next
    if (m_tools)
        m_tools->destroyAll();
    m_remote->remote().closeFramePipe(); // 10
}

} // namespace orvane
