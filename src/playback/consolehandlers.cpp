#include "playback/consolehandlers.h"
#include "console/controlids.h"

#include "show/language.h"
#include "show/patch.h"
#include "show/prompts.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

namespace {

// Boxes whose check state is the composer option.
struct OptionBox {
    int id;
    bool ComposerOptions::*option;
};
constexpr OptionBox kCopied[] = {
    {1012, &ComposerOptions::manuShutter1},
    {1013, &ComposerOptions::shutter1},
    {1014, &ComposerOptions::manuShutter2},
    {1015, &ComposerOptions::shutter2},
    {1044, &ComposerOptions::mh1},
    {1288, &ComposerOptions::disableAntiCrazy},
    {1291, &ComposerOptions::disableFalseBlack},
};
// Boxes that flip their option on every click, whatever the box shows.
constexpr OptionBox kToggled[] = {
    {1293, &ComposerOptions::disableSmokes},
    {1294, &ComposerOptions::disablePerfumes},
    {1296, &ComposerOptions::disableFans},
};

// What a room-plan value field sets in an entry.
enum class Target { Red, Green, Blue, Intensity, Strobe, Mode, Speed };

struct ValueField {
    int id;
    Target target;
    int slider; // 0: none
};
constexpr ValueField kValueFields[] = {
    {1417, Target::Red, 0},
    {1418, Target::Green, 0},
    {1419, Target::Blue, 0},
    {1420, Target::Intensity, console::kIntensitySlider},
    {1421, Target::Strobe, console::kStrobeSlider},
    {1424, Target::Mode, 0},
    {1425, Target::Speed, 0},
};

// The field texts are read through an eight-byte buffer.
constexpr size_t kValueFieldChars = 7;

bool takesValue(Target t, int type) {
    switch (t) {
    case Target::Intensity:
        return type != kTypeDimmer && type != kTypeNone;
    case Target::Strobe:
        return type == kTypeLamp || type == kTypeFogPair || type == kTypeTwoChannel;
    default:
        return type == kTypeLamp;
    }
}

uint32_t withByte(uint32_t colour, int shift, uint8_t v) {
    return (colour & ~(0xFFu << shift)) | uint32_t(v) << shift;
}

void putValue(Target t, int type, LampValues& lamp, ValuePair& pair, uint8_t v) {
    // Value pairs: first is the level (type 9: its strobe), second the fog fan
    // (type 6) or the level (type 9).
    bool twoChannel = type == kTypeTwoChannel;
    switch (t) {
    case Target::Red:
        lamp.colour = withByte(lamp.colour, 0, v);
        break;
    case Target::Green:
        lamp.colour = withByte(lamp.colour, 8, v);
        break;
    case Target::Blue:
        lamp.colour = withByte(lamp.colour, 16, v);
        break;
    case Target::Intensity:
        if (type == kTypeLamp)
            lamp.intensity = v;
        else
            (twoChannel ? pair.second : pair.first) = v;
        break;
    case Target::Strobe:
        if (type == kTypeLamp)
            lamp.strobe = v;
        else
            (twoChannel ? pair.first : pair.second) = v;
        break;
    case Target::Mode:
        lamp.mode = v;
        break;
    case Target::Speed:
        lamp.speed = v;
        break;
    }
}

const ValueField* valueField(int id) {
    for (const ValueField& f : kValueFields)
        if (f.id == id)
            return &f;
    return nullptr;
}

} // namespace

ConsoleHandlers::ConsoleHandlers(ShowSession& session, MainTimer& timer, Prompts& prompts,
                                 const Clock& clock, ConsoleHooks hooks)
    : m_session(session), m_controls(session.console().controls()), m_timer(timer),
      m_prompts(prompts), m_clock(clock), m_hooks(std::move(hooks)) {}

void ConsoleHandlers::bind() {
    bindSwitches();
    bindRampsAndFade();
    bindWindows();
    bindRoomPlan();
    bindColourButtons();
}

void ConsoleHandlers::bindSwitches() {
    for (const OptionBox& s : kCopied)
        m_controls.on(ControlEvent::Clicked, s.id,
                      [this, s] { m_timer.options().*s.option = m_controls.checked(s.id); });
    for (const OptionBox& s : kToggled)
        m_controls.on(ControlEvent::Clicked, s.id, [this, s] {
            bool& option = m_timer.options().*s.option;
            option = !option;
        });
}

void ConsoleHandlers::bindRampsAndFade() {
    // Unchecking a box stops its ramp or fade: the main timer runs only checked ones.
    for (bool up : {true, false}) {
        int box = up ? console::kRampUp : console::kRampDown;
        m_controls.on(ControlEvent::Clicked, box, [this, box, up] {
            if (m_controls.checked(box))
                m_timer.startMasterRamp(up, m_clock.nowMs());
        });
    }
    m_controls.on(ControlEvent::Clicked, console::kFadeIn, [this] {
        if (m_controls.checked(console::kFadeIn))
            m_timer.startFadeIn(m_clock.nowMs());
    });
}

void ConsoleHandlers::fadeInHotKey() {
    if (m_controls.checked(console::kFadeIn)) {
        m_timer.fadeFeedback().pressIgnored(); // the fade runs on as it was
        return;
    }
    m_timer.startFadeIn(m_clock.nowMs());
    m_controls.setChecked(console::kFadeIn, true);
}

void ConsoleHandlers::bindWindows() {
    m_controls.on(ControlEvent::Clicked, console::kShowTime, [this] {
        if (m_hooks.clearAutoFadeDisable)
            m_hooks.clearAutoFadeDisable();
        m_controls.setText(console::kStatus, "");
        if (m_hooks.showTimeWindow)
            m_hooks.showTimeWindow(m_controls.pos(console::kMasterVolumeLeft),
                                   m_controls.pos(console::kMasterVolumeRight));
    });
    auto call = [](const std::function<void()>& hook) {
        return [&hook] {
            if (hook)
                hook();
        };
    };
    m_controls.on(ControlEvent::Clicked, console::kShowTimeline, call(m_hooks.toggleTimeline));
    m_controls.on(ControlEvent::Clicked, console::kGlobalColour, call(m_hooks.toggleGlobalColour));
    m_controls.on(ControlEvent::Clicked, console::kManualMode, call(m_hooks.toggleManualMode));
    m_controls.on(ControlEvent::Clicked, console::kValidateHotKeys, call(m_hooks.validateHotKeys));
    m_controls.on(ControlEvent::TextChanged, console::kMonitorStart, call(m_hooks.repaintMonitor));
    m_controls.on(ControlEvent::Clicked, console::kIpLink, [this] { onIpLink(); });
}

void ConsoleHandlers::onIpLink() {
    if (!m_controls.checked(console::kIpLink)) {
        if (m_hooks.closeIpLink)
            m_hooks.closeIpLink();
        return;
    }
    if (m_hooks.openIpLink && m_hooks.openIpLink())
        return;
    std::string host = m_hooks.ipLinkHost ? m_hooks.ipLinkHost() : std::string();
    m_prompts.message(kProgramTitle, fillIn(translate("IP link", "Cannot connect to %1"), {host}),
                      PromptIcon::Stop);
    m_controls.setChecked(console::kIpLink, false);
}

void ConsoleHandlers::bindRoomPlan() {
    for (const ValueField& f : kValueFields)
        m_controls.on(ControlEvent::TextChanged, f.id, [this, id = f.id] { applyValueField(id); });
    for (auto [button, group] :
         {std::pair{1416, int(kGroupRgbRoom)}, std::pair{1435, int(kGroupRgbBack)},
          std::pair{1456, int(kGroupFans)}})
        m_controls.on(ControlEvent::Clicked, button,
                      [this, button = button, group = group] { selectGroup(button, group); });
    m_controls.on(ControlEvent::Clicked, 1299, [this] {
        showGroups(1299, {kGroupRgbRoom, kGroupRgbBack, kGroupBackSpot});
    });
    for (auto [button, group] :
         {std::pair{1300, int(kGroupFans)}, std::pair{1301, int(kGroupSmokes)},
          std::pair{1303, int(kGroupFogs)}, std::pair{1304, int(kGroupShutters)},
          std::pair{1305, int(kGroupUv)}})
        m_controls.on(ControlEvent::Clicked, button,
                      [this, button = button, group = group] { showGroups(button, {group}); });
}

void ConsoleHandlers::applyValueField(int field) {
    const ValueField* f = valueField(field);
    if (!f)
        return;
    std::string_view text = m_controls.text(field);
    text = text.substr(0, std::min(text.size(), kValueFieldChars));
    if (text.empty())
        return;
    int32_t v = leadingInt(text);
    if (v < 0 || v > 255) {
        // The rewrite raises a change of its own, which applies the clamped value.
        m_controls.setText(field, v < 0 ? "0" : "255");
        return;
    }
    Console& console = m_session.console();
    for (int i = 0; i < kEntryCount; ++i) {
        const PatchEntry& e = kPatch[i];
        if (!takesValue(f->target, e.type))
            continue;
        if (m_controls.checked(e.checkId))
            putValue(f->target, e.type, console.lamps()[i], console.pairs()[i], uint8_t(v));
        // The slider shows the value even when no fixture is selected.
        if (f->slider)
            m_controls.setPos(f->slider, v);
    }
}

void ConsoleHandlers::selectGroup(int button, int group) {
    bool on = m_controls.checked(button);
    for (const PatchEntry& e : kPatch)
        if (e.group == group && e.checkId != -1)
            m_controls.setChecked(e.checkId, on);
}

void ConsoleHandlers::showGroups(int button, std::initializer_list<int> groups) {
    bool on = m_controls.checked(button);
    for (const PatchEntry& e : kPatch) {
        if (std::find(groups.begin(), groups.end(), int(e.group)) == groups.end())
            continue;
        for (int control : {e.checkId, e.swatchId})
            if (control != -1)
                m_controls.setVisible(control, on);
    }
}

void ConsoleHandlers::bindColourButtons() {
    for (int button : m_controls.ids())
        if (m_controls.state(button).kind == ControlKind::ColourButton)
            m_controls.on(ControlEvent::Clicked, button, [this, button] { chooseColour(button); });
}

void ConsoleHandlers::chooseColour(int button) {
    if (!m_lastColour)
        m_lastColour = m_controls.colour(button);
    std::optional<uint32_t> chosen = m_prompts.askColour(*m_lastColour);
    if (!chosen)
        return;
    uint32_t colour = *chosen & 0x00FFFFFFu;
    m_controls.setColour(button, colour); // the binding repaints the button
    m_lastColour = colour;
}

} // namespace orvane
