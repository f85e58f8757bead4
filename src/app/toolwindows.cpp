#include "app/toolwindows.h"

#include "app/orvanedlg.h"
#include "app/windowmanager.h"
#include "console/controlids.h"
#include "fixtures/fixturerig.h"
#include "fixtures/manualmodecontroller.h"
#include "show/language.h"
#include "show/textutil.h"
#include "windows/covscandlg.h"
#include "windows/dialogscale.h"
#include "windows/easyshowbuilder.h"
#include "windows/globalcolor.h"
#include "windows/manualmode.h"
#include "windows/ovmovinghead.h"
#include "windows/pressflash.h"
#include "windows/showtime2.h"
#include "windows/timeline.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <string_view>

namespace orvane {

namespace {

constexpr uint16_t kKeypad1 = 0x61; // numeric keypad 1; 2 and 3 follow

// "Head 1" ... "Head 5" on the last row of the main window's "Windows" frame:
// the head windows start minimised and come up from here.
constexpr int kHeadButtonX = 1158, kHeadButtonY = 720, kHeadButtonW = 74, kHeadButtonH = 28;
constexpr int kHeadButtonStep = 80;

// Whether the list of window names asks for name ("all" asks for every one).
bool requested(std::string_view list, std::string_view name) {
    if (list == "all")
        return true;
    for (size_t at = list.find(name); at != std::string_view::npos; at = list.find(name, at + 1)) {
        size_t end = at + name.size();
        bool startsWord = at == 0 || list[at - 1] == ' ' || list[at - 1] == ',';
        bool endsWord = end == list.size() || list[end] == ' ' || list[end] == ',';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

} // namespace

ToolWindows::ToolWindows(COrvaneDlg& main)
    : m_main(main), m_manualMode(std::make_unique<ManualModeController>(main.session())) {}

ToolWindows::~ToolWindows() {
    destroyAll();
}

void ToolWindows::createFixtureWindows() {
    FixtureInputs inputs;
    inputs.input = &m_main.input();
    inputs.joystick = [this]() -> const JoystickSamples* {
        const MainTimer& timer = m_main.mainTimer();
        return timer.joystickFill() == 9 ? &timer.joystickHistory() : nullptr;
    };
    JoystickPosition rest = m_main.joystickRest();
    m_rig = std::make_unique<FixtureRig>(m_main.session().console(), std::move(inputs),
                                         JoystickCentre{rest.x, rest.y});
    for (int n = 1; n <= 3; ++n)
        m_scanners[size_t(n - 1)] = new CovscanDlg(m_rig->createScanner(n), &m_main);
    // Where nothing can minimise a window it would open over the console:
    // the heads then wait hidden, still minimised, for their buttons.
    const bool minimisable = windowManagerRunning();
    for (int n = 1; n <= 5; ++n) {
        auto* w = new ovmovinghead(m_rig->createHead(n), &m_main);
        if (minimisable)
            w->showMinimized();
        else
            w->setWindowState(Qt::WindowMinimized);
        m_heads[size_t(n - 1)] = w;
    }
    createHeadButtons();
}

void ToolWindows::createHeadButtons() {
    for (int n = 1; n <= 5; ++n) {
        auto* b =
            new QPushButton(translateQ("Main window", "Head %1").arg(n), m_main.consoleArea());
        b->setObjectName(QString("head%1").arg(n));
        b->setAutoDefault(false); // Enter in a field presses nothing
        b->setToolTip(translateQ("Main window", "Moving head %1").arg(n));
        setDesignGeometry(b, QRect(kHeadButtonX + (n - 1) * kHeadButtonStep, kHeadButtonY,
                                   kHeadButtonW, kHeadButtonH));
        setDesignFont(b, b->font());
        b->show();
        QObject::connect(b, &QPushButton::clicked, b, [this, n] { showHead(n); });
        m_headButtons[size_t(n - 1)] = b;
    }
}

void ToolWindows::showHead(int number) {
    ovmovinghead* w = headWindow(number);
    if (!w)
        return;
    w->showNormal();
    w->raise();
    w->activateWindow();
}

ovmovinghead* ToolWindows::headWindow(int number) const {
    return number >= 1 && number <= 5 ? m_heads[size_t(number - 1)].data() : nullptr;
}

CovscanDlg* ToolWindows::scannerWindow(int number) const {
    return number >= 1 && number <= 3 ? m_scanners[size_t(number - 1)].data() : nullptr;
}

void ToolWindows::createShowTime() {
    COrvaneDlg& main = m_main;
    m_showTime =
        new showtime2(&main, main.controls(), main.session().store(), main.input(), main.clock(),
                      [&main] { main.activation().requestSkipAutomationOnce(); });
    // A press the fade does not act on flashes both windows' bars, wherever it came from.
    FadeFeedback& feedback = main.mainTimer().fadeFeedback();
    m_showTime->setPressIgnored([&feedback] { feedback.pressIgnored(); });
    feedback.onPressIgnored([window = m_showTime] {
        if (window)
            window->fadeFlash()->flash();
    });
}

void ToolWindows::openShowTime(int volumeLeft, int volumeRight) {
    if (m_showTime)
        m_showTime->panel().open(volumeLeft, volumeRight);
}

bool ToolWindows::showTimeVisible() const {
    return m_showTime && m_showTime->panel().isOpen();
}

void ToolWindows::toggleTimeline() {
    if (m_timeline) {
        m_timeline->setVisible(!m_timeline->isVisible());
        return;
    }
    COrvaneDlg& main = m_main;
    m_timeline =
        new timeline(&main, main.session().store(), &main.mainTimer().options(), [&main](int step) {
            main.controls().setText(console::kStepNumber, format("%u", unsigned(step)));
        });
    m_timeline->state().open(main.session().currentStep());
    m_timeline->show();
}

showtime2* ToolWindows::showTime() const {
    return m_showTime.data();
}

timeline* ToolWindows::timelineWindow() const {
    return m_timeline.data();
}

TimelineView* ToolWindows::timelineView() const {
    return m_timeline ? &m_timeline->state() : nullptr;
}

void ToolWindows::destroyAll() {
    destroyFixtureWindows();
    destroyShowTime();
    destroyManualMode();
    destroyTimeline();
    destroyGlobalColour();
}

// Scanners 1-3, then heads 1-5: each window (and its timers) before its controller.
void ToolWindows::destroyFixtureWindows() {
    for (auto& b : m_headButtons)
        delete b.data();
    for (int n = 1; n <= 3; ++n) {
        delete m_scanners[size_t(n - 1)].data();
        if (m_rig)
            m_rig->destroyScanner(n);
    }
    for (int n = 1; n <= 5; ++n) {
        delete m_heads[size_t(n - 1)].data();
        if (m_rig)
            m_rig->destroyHead(n);
    }
    m_rig.reset();
}

void ToolWindows::toggleGlobalColour() {
    if (!m_globalColour) {
        GlobalColor::Hooks hooks;
        hooks.clock = &m_main.clock();
        hooks.keypadHeld = [this](int zone) {
            return m_main.input().down(uint16_t(kKeypad1 + zone));
        };
        m_globalColour = new GlobalColor(&m_main, m_main.session().console(), std::move(hooks));
        m_globalColour->show();
        return;
    }
    m_globalColour->setVisible(!m_globalColour->isVisible());
}

GlobalColor* ToolWindows::globalColour() const {
    return m_globalColour;
}

void ToolWindows::destroyGlobalColour() {
    delete m_globalColour.data();
}

void ToolWindows::toggleManualMode() {
    if (m_manualWindow) {
        destroyManualMode();
        return;
    }
    m_manualMode->open();
    m_manualWindow = new manualmode(&m_main, *m_manualMode);
    m_manualWindow->show();
}

bool ToolWindows::manualModeOpen() const {
    return m_manualWindow != nullptr;
}

manualmode* ToolWindows::manualModeWindow() const {
    return m_manualWindow;
}

void ToolWindows::destroyManualMode() {
    if (!m_manualWindow)
        return;
    m_manualMode->close();
    delete m_manualWindow.data();
}

void ToolWindows::mergeManual(Universe& staging) {
    MainTimer& timer = m_main.mainTimer();
    m_manualMode->merge(timer.composer(), staging, timer.options());
}

void ToolWindows::bindEasyShowBuilder() {
    m_main.controls().on(ControlEvent::Clicked, console::kEasyShowBuilder,
                         [this] { openEasyShowBuilder(); });
}

void ToolWindows::openEasyShowBuilder() {
    ShowSession& session = m_main.session();
    session.CommitCurrentStep();
    BuilderHooks hooks;
    hooks.editingFromBuilder = [this](bool on) { m_main.activation().setEditingFromBuilder(on); };
    hooks.fadeIn = [this] { m_main.mainTimer().startFadeIn(m_main.now()); };
    hooks.leftButtonDown = [] { return (QGuiApplication::mouseButtons() & Qt::LeftButton) != 0; };
    {
        easyshowbuilder builder(session, m_main.controls(), std::move(hooks), &m_main);
        builder.exec();
    }
    session.ShowCurrentStep(false);
}

void ToolWindows::destroyShowTime() {
    delete m_showTime.data();
    m_showTime = nullptr;
}

void ToolWindows::destroyTimeline() {
    delete m_timeline.data();
    m_timeline = nullptr;
}

void ToolWindows::openRequestedWindows() {
    const char* env = std::getenv("ORVANE_OPEN_WINDOWS");
    std::string list = env ? env : "";
    if (list.empty())
        return;
    // After the initialisation, as an operator's clicks would come.
    QTimer::singleShot(0, &m_main, [this, list] {
        for (int n = 1; n <= 3; ++n)
            if (requested(list, "scanners") && scannerWindow(n))
                scannerWindow(n)->show();
        for (int n = 1; n <= 5; ++n)
            if (requested(list, "heads"))
                showHead(n);
        if (requested(list, "globalcolour"))
            toggleGlobalColour();
        if (requested(list, "manualmode"))
            toggleManualMode();
        if (requested(list, "timeline"))
            toggleTimeline();
        if (requested(list, "builder"))
            openEasyShowBuilder(); // modal: returns when the builder closes
    });
}

} // namespace orvane
