#include "panels/showtimepanel.h"
#include "panels/showtimetable.h"

#include "console/console.h"
#include "console/controlids.h"
#include "show/language.h"
#include "show/textutil.h"

namespace orvane {

using namespace showtime;

namespace {

constexpr uint16_t kEscapeKey = 0x1B; // virtual-key code

// The keys the tick reads; a press between two ticks counts as held once.
constexpr uint16_t kTickKeys[] = {kEscapeKey, vk::kPageUp, vk::kPageDown, vk::kDelete};

} // namespace

ShowTimePanel::ShowTimePanel(ControlModel& main, ShowStore& store, InputState& input,
                             const Clock& clock, ShowTimeHooks hooks)
    : m_main(main), m_store(store), m_input(input), m_clock(clock), m_hooks(std::move(hooks)),
      m_fade(main, store) {
    declareControls(m_controls, showTimeControls());
    bind();
}

void ShowTimePanel::bind() {
    auto focusNext = [this] {
        if (m_hooks.focusNextStep)
            m_hooks.focusNextStep();
    };
    m_controls.on(ControlEvent::Clicked, kNextStep, [this] { nextStep(); });
    m_controls.on(ControlEvent::Clicked, kStop, [this, focusNext] {
        m_main.click(console::kStop);
        focusNext();
    });
    m_controls.on(ControlEvent::Clicked, kPause, [this, focusNext] {
        if (m_main.enabled(console::kPause))
            m_main.click(console::kPause);
        focusNext();
    });
    m_controls.on(ControlEvent::Clicked, kClose, [this] { close(); });
    m_controls.on(ControlEvent::Clicked, kLocked, [this] {
        m_main.setChecked(console::kVolumeLocked, m_controls.checked(kLocked));
    });
    m_controls.observe([this](int id, ControlField field) {
        if (field == ControlField::Pos && (id == kVolumeLeft || id == kVolumeRight))
            onVolumeMoved(id);
    });
}

void ShowTimePanel::init() {
    m_lastNext = m_clock.nowMs();
    m_controls.setRange(kFadeBar, 0, 100);
    m_controls.setChecked(kLocked, true);
    m_copyingVolumes = true;
    for (int id : {kVolumeLeft, kVolumeRight}) {
        m_controls.setRange(id, 0, kVolumeTop);
        m_controls.setPos(id, m_main.pos(id));
    }
    m_copyingVolumes = false;
}

void ShowTimePanel::open(int volumeLeft, int volumeRight) {
    if (m_hooks.lockMain)
        m_hooks.lockMain();
    // Both positions go in as they are: coupling them one by one would give
    // the right slider the left one's position.
    m_copyingVolumes = true;
    m_controls.setPos(kVolumeLeft, volumeLeft);
    m_controls.setPos(kVolumeRight, volumeRight);
    m_copyingVolumes = false;
    m_controls.setChecked(kLocked, m_main.checked(console::kVolumeLocked));
    // Presses made while the panel was hidden are not for it.
    for (uint16_t key : kTickKeys)
        m_input.pressedSinceLastQuery(key);
    m_open = true;
    m_shown.valid = false;
    refreshShowInfo();
    if (m_hooks.show)
        m_hooks.show();
    if (m_hooks.focusNextStep)
        m_hooks.focusNextStep();
}

void ShowTimePanel::close() {
    m_open = false;
    if (m_hooks.hide)
        m_hooks.hide();
    if (m_hooks.unlockMain)
        m_hooks.unlockMain();
}

bool ShowTimePanel::nextStep(bool acknowledge) {
    Milliseconds now = m_clock.nowMs();
    if (now - m_lastNext < kNextStepGap) {
        if (acknowledge && m_hooks.pressIgnored)
            m_hooks.pressIgnored();
        return false;
    }
    m_lastNext = now;
    m_main.setChecked(console::kFadeIn, true);
    m_main.raise(ControlEvent::Clicked, console::kFadeIn);
    return true;
}

bool ShowTimePanel::held(uint16_t key, bool* fresh) {
    bool pressed = m_input.pressedSinceLastQuery(key);
    if (fresh)
        *fresh = pressed;
    return m_input.down(key) || pressed;
}

void ShowTimePanel::tick() {
    if (!m_open)
        return;
    const bool shift = m_input.down(vk::kShift);
    // A key held down repeats "Next step" by itself: only a new press inside
    // the guard is acknowledged.
    bool fresh = false;
    if (held(kEscapeKey, &fresh))
        nextStep(fresh);
    if (held(vk::kPageUp)) {
        if (shift)
            moveLeftVolume(-kSlowVolumeStep);
        else
            stepBack();
    }
    if (held(vk::kPageDown, &fresh)) {
        if (shift)
            moveLeftVolume(kSlowVolumeStep);
        else
            nextStep(fresh);
    }
    if (held(vk::kDelete)) {
        m_controls.setPos(kVolumeLeft, kVolumeTop);
        m_controls.setPos(kVolumeRight, kVolumeTop);
    }
    refreshShowInfo();
}

bool ShowTimePanel::stepBack() {
    Milliseconds now = m_clock.nowMs();
    if (m_stepBackBefore && now - m_lastBack < kStepBackGap)
        return false;
    m_stepBackBefore = true;
    m_lastBack = now;
    int step = m_main.textInt(console::kStepNumber);
    if (step <= 0)
        return false;
    if (m_hooks.skipAutomationOnce)
        m_hooks.skipAutomationOnce();
    m_main.setText(console::kStepNumber, format("%d", step - 1));
    return true;
}

void ShowTimePanel::moveLeftVolume(int delta) {
    m_controls.setPos(kVolumeLeft, m_controls.pos(kVolumeLeft) + delta);
}

// Every move of a slider, by the operator, a key or the program: its pair
// follows when "locked" is ticked, and the main window's slider follows it.
void ShowTimePanel::onVolumeMoved(int id) {
    if (m_copyingVolumes)
        return;
    int other = id == kVolumeLeft ? kVolumeRight : kVolumeLeft;
    if (m_controls.checked(kLocked))
        m_controls.setPos(other, m_controls.pos(id));
    m_main.setPos(id, m_controls.pos(id));
}

void ShowTimePanel::refreshFade() {
    const FadeStatus fade = m_fade.status();
    if (m_controls.text(kFadeLine) != fade.text)
        m_controls.setText(kFadeLine, fade.text);
    m_controls.setPos(kFadeBar, fade.fading ? fade.percent : 0);
}

void ShowTimePanel::refreshShowInfo() {
    refreshFade();
    const std::string& step = m_main.text(console::kStepNumber);
    const std::string& caption = m_main.text(console::kStepName);
    int next = stepAfterFade(m_main);
    uint64_t generation = next >= 0 ? m_store.table().generation(next) : 0;
    if (m_shown.valid && m_shown.step == step && m_shown.caption == caption &&
        m_shown.next == next && m_shown.nextGeneration == generation)
        return;
    m_shown = {step, caption, next, generation, true};
    m_controls.setText(kStepShown, step);
    m_controls.setText(kCaption, withoutCarriageReturns(caption));
    if (next < 0 || next >= kStepCount) {
        m_controls.setText(kNextCaption, translate("ShowTime", "Next: end of the show"));
        return;
    }
    std::string name = m_store.ReadStoreString(std::to_string(next), "name", "", 1024, "");
    std::string text = fillIn(translate("ShowTime", "Next: %1"), {std::to_string(next)});
    if (!name.empty())
        text += "  " + withoutCarriageReturns(storedToConsole(name));
    m_controls.setText(kNextCaption, text);
}

} // namespace orvane
