#include "playback/maintimer.h"
#include "console/controlids.h"

#include "playback/fadeblend.h"
#include "show/patch.h"
#include "show/showstore.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr int kLastStep = kStepCount - 1;
constexpr char kFlashKeys[] = "AZERTYQSDFGHWXCVUIJKBNO"; // live levels 1..23
constexpr uint32_t kFireButtons = 0x2 | 0x4 | 0x8;       // buttons 2, 3 and 4
constexpr Milliseconds kRetrigger = 2500ms;

int levelOfPos(int pos) {
    return 255 - pos;
}

} // namespace

MainTimer::MainTimer(ShowSession& session, InputState& input, MainTimerHooks hooks)
    : m_session(session), m_controls(session.console().controls()), m_input(input),
      m_hooks(std::move(hooks)), m_fadeFeedback(m_controls, session.store()) {}

void MainTimer::OnTimer(int id, Milliseconds now) {
    if (id == timers::kIpService && m_hooks.ipService)
        m_hooks.ipService();
    if (id == timers::kChainedStart) {
        if (m_hooks.startDmx)
            m_hooks.startDmx();
        return;
    }
    if (m_hooks.repaintSwatches)
        m_hooks.repaintSwatches();
    pickColours();
    if (m_hooks.effectPlayback)
        m_hooks.effectPlayback(now);
    bool manual = m_hooks.manualModeOpen && m_hooks.manualModeOpen();
    if (manual) {
        if (id == timers::kPlayback && m_hooks.manualMerge)
            m_hooks.manualMerge(m_staging);
        publish();
    } else {
        if (id == timers::kJoystick && m_hooks.joystickPresent && m_hooks.joystickPresent())
            sampleJoystick();
        fadeTrigger(id, now);
    }
    // The sound says when its last loop ended with "When sound end, goto next step".
    if (m_hooks.sound && m_hooks.sound(now))
        goToStep(fieldStep() + 1);
    if (m_hooks.pictureColour)
        m_hooks.pictureColour(now);
    if (m_hooks.randomSliders)
        m_hooks.randomSliders();
    if (!manual)
        outsideManualMode(now);
    countRound();
}

void MainTimer::countRound() {
    bool changed = m_publishedThisRound || ControlModel::changes() != m_changesSeen;
    m_publishedThisRound = false;
    m_changesSeen = ControlModel::changes();
    m_quietRounds = changed ? 0 : std::min(m_quietRounds + 1, kQuietRounds);
    m_changedRounds += changed ? 1 : 0;
}

bool MainTimer::idle() const {
    return m_quietRounds >= kQuietRounds && ControlModel::changes() == m_changesSeen &&
           !m_controls.checked(console::kFadeIn) && !m_controls.checked(console::kRampUp) &&
           !m_controls.checked(console::kRampDown) && !m_input.anyDown() && !m_composer.pulsing() &&
           !(m_hooks.busy && m_hooks.busy());
}

void MainTimer::pickColours() {
    if (m_hooks.showTimeVisible && m_hooks.showTimeVisible())
        return;
    // The room-plan sliders reach the fixtures through their value fields.
    for (auto [slider, field] : {std::pair{console::kIntensitySlider, console::kIntensity},
                                 std::pair{console::kStrobeSlider, console::kStrobe}})
        m_controls.showNumber(field, m_controls.pos(slider));
    std::optional<uint32_t> pixel = m_hooks.pickedPixel ? m_hooks.pickedPixel() : std::nullopt;
    if (!pixel)
        return;
    m_controls.setText(console::kRed, format("%u", unsigned(redOf(*pixel))));
    m_controls.setText(console::kGreen, format("%u", unsigned(greenOf(*pixel))));
    m_controls.setText(console::kBlue, format("%u", unsigned(blueOf(*pixel))));
    for (int i = 0; i < kEntryCount; ++i)
        if (kPatch[i].type == kTypeLamp && m_controls.checked(kPatch[i].checkId))
            m_session.console().lamps()[i].colour = *pixel;
}

void MainTimer::sampleJoystick() {
    std::optional<JoystickPosition> p = m_hooks.joystick ? m_hooks.joystick() : std::nullopt;
    if (!p)
        return;
    m_history[size_t(m_fill)] = *p;
    if (m_fill == 9) {
        for (int i = 0; i < 9; ++i)
            m_history[size_t(i)] = m_history[size_t(i + 1)];
    } else {
        ++m_fill;
    }
}

void MainTimer::fadeTrigger(int id, Milliseconds now) {
    bool present = m_hooks.joystickPresent && m_hooks.joystickPresent() && m_fill > 0;
    if (present && m_controls.checked(console::kJoystick)) {
        m_previousFire = m_fire;
        // Once the history is full the newest sample sits in slot 8.
        int latest = m_fill == 9 ? 8 : m_fill - 1;
        m_fire = (m_history[size_t(latest)].buttons & kFireButtons) != 0;
    }
    bool trigger = m_input.mouse(MouseButton::Middle) ||
                   (id == timers::kJoystick && m_fire && !m_previousFire);
    if (!trigger) {
        m_triggerLatch = false;
        return;
    }
    if (!m_triggerLatch) {
        m_triggerTime = now;
        if (!m_controls.checked(console::kFadeIn)) {
            startFadeIn(now);
            m_controls.setChecked(console::kFadeIn, true);
        } else {
            m_fadeFeedback.pressIgnored(); // the fade runs on as it was
        }
        m_triggerLatch = true;
    } else if (m_fire && now - m_triggerTime > kRetrigger) {
        // Holding fire steps ten steps back.
        m_triggerTime = now;
        int step = m_session.currentStep();
        goToStep(step < 10 ? 0 : step - 10);
    }
}

void MainTimer::startFadeIn(Milliseconds now) {
    m_fadeStart = now;
    m_fadeStartPos = m_controls.pos(console::kFade);
    m_controls.setPos(console::kFadeProgress, 0);
}

void MainTimer::startMasterRamp(bool up, Milliseconds now) {
    Ramp& ramp = up ? m_rampUp : m_rampDown;
    ramp.start = now;
    ramp.startLevel = levelOfPos(m_controls.pos(console::kMaster));
    m_controls.setChecked(up ? console::kRampDown : console::kRampUp, false);
    m_controls.setPos(up ? console::kRampUpProgress : console::kRampDownProgress, 0);
}

void MainTimer::outsideManualMode(Milliseconds now) {
    VolumeTick volume;
    volume.fade = m_controls.pos(console::kFade);
    volume.fadeIn = m_controls.checked(console::kFadeIn);
    volume.rude = m_live.faderude != 0;
    if (m_hooks.volumes)
        m_hooks.volumes(volume);
    stepKeys();
    volumeKeys();
    masterRamps(now);
    m_live = m_session.console().capture();
    volume.rude = m_live.faderude != 0;
    StepRecord next;
    if (volume.fade != 0 && !volume.rude) {
        blendTowardNext(next);
        volume.next = &next;
        if (volume.fadeIn && m_hooks.volumes)
            m_hooks.volumes(volume);
    }
    keyboardFlash();
    compose();
    publish();
    automaticFade(now);
}

void MainTimer::stepKeys() {
    int step = fieldStep();
    if (m_input.pressedSinceLastQuery(vk::kPadPlus) && step < kLastStep)
        m_controls.setText(console::kStepNumber, format("%d", step + 1));
    if (m_input.pressedSinceLastQuery(vk::kPadMinus))
        m_controls.setText(console::kStepNumber, format("%d", step > 0 ? step - 1 : 0));
}

void MainTimer::volumeKeys() {
    if ((m_hooks.showTimeVisible && m_hooks.showTimeVisible()) || !m_input.down(vk::kAlt))
        return;
    if (m_input.down(vk::kDelete)) {
        m_controls.setPos(console::kMasterVolumeLeft, 10000);
        m_controls.setPos(console::kMasterVolumeRight, 10000);
    }
    int stepSize = holdBack() ? 20 : 200;
    if (m_input.down(vk::kPageUp))
        m_controls.setPos(console::kMasterVolumeLeft,
                          m_controls.pos(console::kMasterVolumeLeft) - stepSize);
    if (m_input.down(vk::kPageDown))
        m_controls.setPos(console::kMasterVolumeLeft,
                          m_controls.pos(console::kMasterVolumeLeft) + stepSize);
}

void MainTimer::masterRamps(Milliseconds now) {
    for (bool up : {true, false}) {
        int box = up ? console::kRampUp : console::kRampDown;
        if (!m_controls.checked(box))
            continue;
        const Ramp& ramp = up ? m_rampUp : m_rampDown;
        int target = up ? 255 : 0;
        int progress = up ? console::kRampUpProgress : console::kRampDownProgress;
        int64_t duration =
            secondsToMs(leadingDouble(m_controls.text(up ? console::kTimeUp : console::kTimeDown)))
                .count();
        int64_t elapsed = (now - ramp.start).count();
        if (elapsed >= duration) {
            m_controls.setPos(console::kMaster, 255 - target);
            m_controls.setPos(progress, 0);
            m_controls.setChecked(box, false);
            continue;
        }
        int level = ramp.startLevel + int((target - ramp.startLevel) * elapsed / duration);
        m_controls.setPos(console::kMaster, 255 - level);
        m_controls.setPos(progress, int(elapsed * 100 / duration));
    }
}

void MainTimer::blendTowardNext(StepRecord& next) {
    m_session.store().LoadStep(m_session.currentStep() + 1, next);
    m_session.console().captureNextOver(next);
    blendToward(m_live, next, m_controls.pos(console::kFade));
}

void MainTimer::keyboardFlash() {
    bool active =
        m_input.down(vk::kControl) || (m_hooks.showTimeVisible && m_hooks.showTimeVisible());
    if (!active) {
        // Letters typed meanwhile (a step name, a text field) are not kept for
        // the next time Ctrl is held or the show time panel opens.
        for (int k = 0; kFlashKeys[k]; ++k)
            m_input.pressedSinceLastQuery(uint16_t(kFlashKeys[k]));
        return;
    }
    bool randomLevels = holdBack();
    for (int k = 0; kFlashKeys[k]; ++k) {
        uint16_t key = uint16_t(kFlashKeys[k]);
        bool pressed = m_input.pressedSinceLastQuery(key);
        if (!m_input.down(key) && !pressed)
            continue;
        int32_t& level = m_live.fader[size_t(k)];
        if (randomLevels)
            level = int32_t((m_hooks.random ? m_hooks.random() : 0) % 256);
        else if (level < 128)
            level = kLevelForcedFull;
        else if (level < 256)
            level = kLevelForcedOff;
    }
}

void MainTimer::compose() {
    ShowStore& store = m_session.store();
    const StepRecord& current = store.StoredStep(m_session.currentStep());
    const StepRecord& next = store.StoredStep(m_session.currentStep() + 1);
    m_composer.Compose(m_live, m_staging, &next, &current, m_controls.pos(console::kFade),
                       m_options);
}

void MainTimer::publish() {
    if (m_sent && m_staging == m_output)
        return;
    m_output = m_staging;
    m_sent = true;
    m_publishedThisRound = true;
    if (m_hooks.publish)
        m_hooks.publish(m_output);
}

void MainTimer::automaticFade(Milliseconds now) {
    if (!m_controls.checked(console::kFadeIn))
        return;
    int64_t duration = secondsToMs(m_live.fadet).count();
    int64_t elapsed = (now - m_fadeStart).count();
    if (elapsed < duration) {
        m_controls.setPos(console::kFade,
                          int(m_fadeStartPos + elapsed * (255 - m_fadeStartPos) / duration));
        m_controls.setPos(console::kFadeProgress, int(elapsed * 100 / duration));
        return;
    }
    m_controls.setChecked(console::kFadeIn, false);
    m_controls.setPos(console::kFade, 255);
    m_controls.setPos(console::kFadeProgress, 0);
    if (holdBack())
        return;
    goToStep(m_controls.checked(console::kGoto) ? m_controls.textInt(console::kGotoStep)
                                                : fieldStep() + 1);
}

int MainTimer::fieldStep() const {
    return std::clamp(m_controls.textInt(console::kStepNumber), 0, kLastStep);
}

void MainTimer::goToStep(int step) {
    // There is no step after the last one: the show stays where it is.
    if (step < 0 || step > kLastStep)
        return;
    m_controls.setText(console::kStepNumber, format("%d", step));
}

bool MainTimer::holdBack() const {
    return (m_hooks.shiftDown && m_hooks.shiftDown()) ||
           (m_hooks.autoFadeDisable && m_hooks.autoFadeDisable());
}

} // namespace orvane
