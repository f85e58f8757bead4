#include "app/toolwindows.h"

#include "app/orvanedlg.h"
#include "playback/controlids.h"
#include "show/textutil.h"
#include "windows/showtime2.h"
#include "windows/timeline.h"

namespace orvane {

ToolWindows::ToolWindows(COrvaneDlg& main) : m_main(main) {}

ToolWindows::~ToolWindows() {
    destroyAll();
}

void ToolWindows::createFixtureWindows() {}

void ToolWindows::createShowTime() {
    COrvaneDlg& main = m_main;
    m_showTime = new showtime2(
        &main, main.controls(), main.session().store(), main.input(),
        [&main] { return main.now(); }, [&main] { main.activation().requestSkipAutomationOnce(); });
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
    // Scanners 1-3 and moving heads 1-5 go first, then:
    destroyShowTime();
    // the manual mode window,
    destroyTimeline();
    // and the global colour window.
}

void ToolWindows::destroyShowTime() {
    delete m_showTime.data();
    m_showTime = nullptr;
}

void ToolWindows::destroyTimeline() {
    delete m_timeline.data();
    m_timeline = nullptr;
}

} // namespace orvane
