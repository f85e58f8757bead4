#include "app/toolwindows.h"

#include "app/orvanedlg.h"
#include "fixtures/manualmode.h"
#include "windows/globalcolor.h"
#include "windows/manualmodewindow.h"
#include "playback/controlids.h"
#include "windows/easyshowbuilder.h"

#include <QGuiApplication>

namespace orvane {

namespace {

constexpr uint16_t kKeypad1 = 0x61; // numeric keypad 1; 2 and 3 follow

} // namespace

ToolWindows::ToolWindows(COrvaneDlg& main)
    : m_main(main), m_manualMode(std::make_unique<ManualMode>(main.session())) {}

ToolWindows::~ToolWindows() {
    destroyAll();
}

void ToolWindows::createFixtureWindows() {}

void ToolWindows::createShowTime() {}

void ToolWindows::destroyAll() {
    destroyManualMode();
    destroyGlobalColour();
}

void ToolWindows::toggleGlobalColour() {
    if (!m_globalColour) {
        GlobalColor::Hooks hooks;
        hooks.now = [this] { return uint32_t(m_main.now()); };
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

} // namespace orvane
