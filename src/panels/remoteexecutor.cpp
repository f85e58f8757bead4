#include "panels/remoteexecutor.h"

#include "console/console.h"
#include "console/controlids.h"
#include "panels/showtimepanel.h"
#include "show/language.h"
#include "show/textutil.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

constexpr int kLastStep = kStepCount - 1;
constexpr int kLevelFaders = 24;  // the remotes reach level faders 1-24
constexpr int kVolumeTop = 10000; // volume sliders: 0 loudest, 10000 silent

int levelOf(float value) {
    return int(std::lround(std::clamp(double(value), 0.0, 1.0) * 255));
}

int volumePos(float value) {
    return kVolumeTop - int(std::lround(std::clamp(double(value), 0.0, 1.0) * kVolumeTop));
}

} // namespace

RemoteExecutor::RemoteExecutor(ControlModel& main, RemoteExecutorHooks hooks)
    : m_main(main), m_hooks(std::move(hooks)) {}

std::optional<std::string> RemoteExecutor::execute(const RemoteCommand& c) {
    switch (c.verb) {
    case RemoteVerb::Go:
        return go();
    case RemoteVerb::Back:
        return back();
    case RemoteVerb::Step:
        return step(c.index);
    case RemoteVerb::Stop:
        if (ShowTimePanel* panel = openPanel()) {
            panel->controls().click(showtime::kStop);
            return std::nullopt;
        }
        return press(console::kStop, "Stop");
    case RemoteVerb::Pause:
        if (!m_main.enabled(console::kPause))
            return translate("RemoteCommands", "\"Pause\" is disabled: no sound plays");
        if (ShowTimePanel* panel = openPanel()) {
            panel->controls().click(showtime::kPause);
            return std::nullopt;
        }
        return press(console::kPause, "Pause");
    case RemoteVerb::Master:
        return slide(console::kMaster, 255 - levelOf(c.value),
                     QT_TRANSLATE_NOOP("RemoteCommands", "the master fader"));
    case RemoteVerb::Fader:
        if (c.index < 1 || c.index > kLevelFaders)
            return fillIn(translate("RemoteCommands", "there is no level fader %1"),
                          {std::to_string(c.index)});
        return slide(console::kFaders[size_t(c.index - 1)], 255 - levelOf(c.value),
                     QT_TRANSLATE_NOOP("RemoteCommands", "the level fader"));
    case RemoteVerb::Volume:
        return volume(c.index, c.value);
    case RemoteVerb::Blackout:
        return blackout(c.index != 0);
    }
    return translate("RemoteCommands", "unknown command");
}

int RemoteExecutor::drain(RemoteCommandRing& ring, int budget, const Ignored& ignored) {
    auto act = [&](const RemoteCommand& c) {
        std::optional<std::string> why = execute(c);
        if (why && ignored)
            ignored(c, *why);
    };
    int acted = 0;
    // A fader moved on a surface sends a stream of values: of those that
    // follow each other for the same slider only the last one counts.
    std::optional<RemoteCommand> held;
    while (acted < budget) {
        std::optional<RemoteCommand> c = ring.pop();
        if (!c)
            break;
        if (held && held->verb == c->verb && held->index == c->index) {
            held = c;
            continue;
        }
        if (held) {
            act(*held);
            ++acted;
            held.reset();
        }
        if (c->verb == RemoteVerb::Master || c->verb == RemoteVerb::Fader ||
            c->verb == RemoteVerb::Volume) {
            held = c;
            continue;
        }
        act(*c);
        ++acted;
    }
    if (held) {
        act(*held);
        ++acted;
    }
    return acted;
}

ShowTimePanel* RemoteExecutor::openPanel() const {
    ShowTimePanel* panel = m_hooks.showTime ? m_hooks.showTime() : nullptr;
    return panel && panel->isOpen() ? panel : nullptr;
}

std::optional<std::string> RemoteExecutor::go() {
    if (ShowTimePanel* panel = openPanel()) {
        if (!panel->nextStep())
            return translate("RemoteCommands", "less than 500 ms after the last \"Next step\"");
        return std::nullopt;
    }
    if (!m_main.enabled(console::kFadeIn))
        return translate("RemoteCommands", "\"Fade in\" is disabled while manual mode is open");
    if (m_main.checked(console::kFadeIn))
        return translate("RemoteCommands", "a fade runs already");
    if (!m_hooks.fadeInKey)
        return translate("RemoteCommands", "\"Fade in\" is not available");
    m_hooks.fadeInKey();
    return std::nullopt;
}

std::optional<std::string> RemoteExecutor::back() {
    if (ShowTimePanel* panel = openPanel()) {
        if (!panel->stepBack())
            return translate("RemoteCommands",
                             "at step 0, or less than 200 ms after the last step back");
        return std::nullopt;
    }
    int current = std::clamp(m_main.textInt(console::kStepNumber), 0, kLastStep);
    if (current == 0)
        return translate("RemoteCommands", "the show is at step 0");
    m_main.setText(console::kStepNumber, format("%d", current - 1));
    return std::nullopt;
}

std::optional<std::string> RemoteExecutor::step(int number) {
    if (number < 0 || number > kLastStep)
        return fillIn(translate("RemoteCommands", "step %1 is not in 0-%2"),
                      {std::to_string(number), std::to_string(kLastStep)});
    m_main.setText(console::kStepNumber, format("%d", number));
    return std::nullopt;
}

std::optional<std::string> RemoteExecutor::press(int id, const char* name) {
    if (!m_main.enabled(id))
        return fillIn(translate("RemoteCommands", "\"%1\" is disabled"),
                      {translate("Console", name)});
    m_main.click(id);
    return std::nullopt;
}

std::optional<std::string> RemoteExecutor::slide(int id, int pos, const char* name) {
    if (!m_main.enabled(id))
        return fillIn(translate("RemoteCommands", "%1 is disabled"),
                      {translate("RemoteCommands", name)});
    m_main.scroll(id, pos);
    return std::nullopt;
}

std::optional<std::string> RemoteExecutor::volume(int which, float value) {
    if (which != 1 && which != 2)
        return fillIn(translate("RemoteCommands", "there is no master volume %1"),
                      {std::to_string(which)});
    int pos = volumePos(value);
    // The panel's sliders lead while it is open: the main window's follow them.
    if (ShowTimePanel* panel = openPanel()) {
        panel->controls().scroll(which == 1 ? showtime::kVolumeLeft : showtime::kVolumeRight, pos);
        return std::nullopt;
    }
    return slide(which == 1 ? console::kMasterVolumeLeft : console::kMasterVolumeRight, pos,
                 QT_TRANSLATE_NOOP("RemoteCommands", "the master volume"));
}

std::optional<std::string> RemoteExecutor::blackout(bool on) {
    bool now = m_hooks.blackoutOn ? m_hooks.blackoutOn() : m_main.checked(console::kAllDmxToZero);
    if (now == on)
        return std::nullopt; // already as asked
    return press(console::kAllDmxToZero, QT_TRANSLATE_NOOP("Console", "All dmx to 0"));
}

std::string describe(const RemoteCommand& c) {
    switch (c.verb) {
    case RemoteVerb::Go:
        return "go";
    case RemoteVerb::Back:
        return "back";
    case RemoteVerb::Step:
        return format("step %d", c.index);
    case RemoteVerb::Stop:
        return "stop";
    case RemoteVerb::Pause:
        return "pause";
    case RemoteVerb::Master:
        return format("master %.2f", double(c.value));
    case RemoteVerb::Fader:
        return format("fader %d %.2f", c.index, double(c.value));
    case RemoteVerb::Volume:
        return format("volume %d %.2f", c.index, double(c.value));
    case RemoteVerb::Blackout:
        return format("blackout %d", c.index);
    }
    return "command";
}

} // namespace orvane
