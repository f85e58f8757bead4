#include "playback/activation.h"
#include "console/controlids.h"

#include "console/console.h"
#include "console/controlmodel.h"
#include "console/showsession.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

namespace {

template <typename F, typename... Args> void call(const F& f, Args&&... args) {
    if (f)
        f(std::forward<Args>(args)...);
}

template <typename F> bool ask(const F& f) {
    return f && f();
}

} // namespace

std::optional<int> timelineFirstVisible(int first, int last, int step) {
    int width = last - first;
    auto threshold = unsigned(last - width / 2);
    if (step >= first && unsigned(step) < threshold)
        return std::nullopt;
    return std::max(step - 1, 0);
}

bool soundEntryMatches(std::string_view entry, std::string_view name) {
    return entry.size() >= name.size() && equalsIgnoreCase(entry.substr(0, name.size()), name);
}

Activation::Activation(ShowSession& session, ControlModel& controls, ActivationHooks hooks,
                       ExtraServices services, uint32_t randomSeed)
    : m_session(session), m_controls(controls), m_hooks(std::move(hooks)),
      m_effects(session.console(), controls, randomSeed),
      m_extra(controls, session.store(), m_effects, std::move(services)) {}

void Activation::activate() {
    if (!m_controls.has(console::kMaster))
        return;
    m_controls.setChecked(console::kRampUp, false);
    m_controls.setChecked(console::kRampDown, false);
    m_controls.setPos(console::kFade, 0);

    // The step being left is stored while the number is still the old one.
    m_session.CommitCurrentStep();
    int step = m_controls.textInt(console::kStepNumber);
    if (step < 0 || step >= kStepCount) {
        // A show has steps 0..499: the nearest one is written into the field,
        // whose change activates it.
        m_controls.setText(console::kStepNumber, format("%d", std::clamp(step, 0, kStepCount - 1)));
        return;
    }
    m_session.setCurrentStep(step);
    tellTimeline(step);
    m_session.rememberStep(step);
    m_session.ShowCurrentStep(false);
    call(m_hooks.rebuildSoundList);
    m_effects.reset();

    bool suppressed = automationSuppressed();
    if (!suppressed) {
        m_extra.setRoot(m_session.root());
        std::string extra = m_controls.text(console::kExtra);
        m_extra.run(extra, m_hooks.clock ? m_hooks.clock->nowMs() : 0ms);
    }
    if (!suppressed && m_controls.checked(console::kAutoFade)) {
        call(m_hooks.fadeIn);
        m_controls.setChecked(console::kFadeIn, true);
    }
    if (!suppressed && m_controls.checked(console::kTogglePause) && ask(m_hooks.soundDeviceOpen))
        togglePause();
    if (!suppressed && m_controls.checked(console::kPlayAtBegin) && !m_editingFromBuilder)
        playAtBegin();
    m_skipAutomationOnce = false;
}

void Activation::tellTimeline(int step) {
    TimelineView* timeline = m_hooks.timeline ? m_hooks.timeline() : nullptr;
    if (!timeline)
        return;
    timeline->setCurrentStep(step);
    int first = timeline->firstVisible();
    int last = timeline->lastVisible();
    if (std::optional<int> newFirst = timelineFirstVisible(first, last, step)) {
        timeline->setVisibleSteps(*newFirst, *newFirst + (last - first));
        timeline->repaint();
    }
}

bool Activation::automationSuppressed() const {
    return ask(m_hooks.shiftDown) || ask(m_hooks.autoFadeDisable) || m_skipAutomationOnce;
}

void Activation::togglePause() {
    if (!m_controls.checked(console::kPause)) {
        m_controls.setChecked(console::kPause, true);
        call(m_hooks.pauseSound);
        m_controls.setPos(console::kMeterLeft, 0);
        m_controls.setPos(console::kMeterRight, 0);
    } else {
        m_controls.setChecked(console::kPause, false);
        call(m_hooks.resumeSound);
    }
}

void Activation::playAtBegin() {
    std::string name = m_controls.text(console::kSoundName);
    call(m_hooks.stopSound);
    ListModel* list = m_hooks.soundList;
    if (!list)
        return;
    for (int i = 0; i < list->count(); ++i) {
        if (soundEntryMatches(list->item(i).text, name)) {
            list->select(i);
            call(m_hooks.mainTimerTick);
            call(m_hooks.playSound);
            return;
        }
    }
    if (m_hooks.playWhenLoaded)
        m_hooks.playWhenLoaded(name);
}

} // namespace orvane
