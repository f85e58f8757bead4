#include "console/console.h"

#include "show/keycodes.h"
#include "show/palette.h"
#include "show/patch.h"
#include "show/showstore.h"
#include "show/textutil.h"

namespace orvane {

namespace console {
const std::array<int, kFaderCount> kFaders = {
    1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038,
    1039, 1040, 4080, 1122, 1133, 1136, 1141, 1148, 1396, 1056, 5083, 4087, 1091, 1094};
const std::array<int, kColourCount> kColourButtons = {2038, 2001, 2006, 2007, 2008, 2009, 2027,
                                                      1125, 2028, 2002, 2003, 2004, 2005};
const std::array<int, 24> kNextFaders = {1047, 1067, 1069, 1070, 1071, 1072, 1073, 1074,
                                         1075, 1076, 1077, 1078, 1079, 1080, 1081, 1082,
                                         1118, 1127, 1153, 1157, 1261, 1265, 1314, 1321};
// Colour 8 on 1132 and colour 9 on 1131.
const std::array<int, 9> kNextColourButtons = {2000, 1129, 1155, 1159, 1263,
                                               1268, 1325, 1132, 1131};
} // namespace console

using namespace console;

namespace {

// Colour 6 holds a palette index; its button shows the entry's colour.
constexpr int kPaletteColour = 5;

// The option boxes of a step, with the record field each one mirrors.
struct FlagBox {
    int id;
    int32_t StepRecord::*field;
};
constexpr FlagBox kFlagBoxes[] = {
    {kAutoFade, &StepRecord::autofade},       {kGoto, &StepRecord::gotoFlag},
    {kPlayAtBegin, &StepRecord::playatbegin}, {kNextOnStop, &StepRecord::nextonstop},
    {kRudeFade, &StepRecord::faderude},       {kTogglePause, &StepRecord::togglepause},
    {kStepSound, &StepRecord::stepsound},     {kSoundLocked, &StepRecord::soundlocked},
};

std::array<LampValues, kEntryCount> startLamps() {
    std::array<LampValues, kEntryCount> lamps{};
    for (LampValues& l : lamps)
        l = {makeColour(255, 255, 255), 0, 255, 0, 0};
    return lamps;
}

std::array<ValuePair, kEntryCount> startPairs() {
    std::array<ValuePair, kEntryCount> pairs{};
    for (int i = 0; i < kEntryCount; ++i)
        if (kPatch[i].type == kTypeTwoChannel)
            pairs[i] = {0, 255}; // strobe 0, intensity 255
    return pairs;
}

int levelToPos(int32_t level) {
    return 255 - level;
}
int32_t posToLevel(int pos) {
    return 255 - pos;
}

} // namespace

std::string storedToConsole(std::string_view stored) {
    std::string out;
    out.reserve(stored.size() + 8);
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else {
            out += stored[i];
        }
    }
    return out;
}

std::string consoleToStored(std::string_view shown) {
    std::string out;
    out.reserve(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else {
            out += shown[i];
        }
    }
    return out;
}

Console::Console(ControlModel& controls)
    : m_controls(controls), m_lamps(startLamps()), m_pairs(startPairs()) {}

void Console::setFixtureHooks(BlockHook show, BlockHook capture) {
    m_showBlocks = std::move(show);
    m_captureBlocks = std::move(capture);
}

void Console::display(const StepRecord& r, DisplayMode mode, bool writeMaster) {
    if (writeMaster)
        m_controls.setPos(kMaster, levelToPos(r.master));
    for (int i = 0; i < kEntryCount; ++i) {
        if (kPatch[i].type == kTypeLamp)
            m_lamps[i] = r.lamp[i];
        else
            m_pairs[i] = r.pair[i];
    }
    for (int f = 0; f < kFaderCount; ++f)
        m_controls.setPos(kFaders[f], levelToPos(r.fader[f]));
    displayColours(r);
    if (mode == DisplayMode::Full)
        displayNonLight(r);
    m_scanners = r.scanner;
    m_heads = r.head;
    if (m_showBlocks) {
        StepRecord blocks = r;
        m_showBlocks(blocks);
    }
}

void Console::displayColours(const StepRecord& r) {
    for (int c = 0; c < kColourCount; ++c) {
        uint32_t shown = r.colour[c];
        if (c == kPaletteColour) {
            m_colour6Index = r.colour[c];
            shown = paletteDisplayColour(r.colour[c]);
        }
        m_controls.setColour(kColourButtons[c], shown);
    }
}

void Console::showTime(int id, ShownTime& shown, double value) {
    shown.value = value;
    shown.text = formatFixed(value, 2);
    m_controls.setText(id, shown.text);
}

double Console::capturedTime(int id, const ShownTime& shown) const {
    const std::string& text = m_controls.text(id);
    return text == shown.text ? shown.value : clampSeconds(leadingDouble(text));
}

void Console::displayNonLight(const StepRecord& r) {
    m_controls.setText(kStepName, storedToConsole(decodeStored(r.name, m_encoding)));
    m_controls.setText(kExtra, storedToConsole(decodeStored(r.extra, m_encoding)));
    m_controls.setText(kSoundName, decodeStored(r.soundnameatbegin, m_encoding));
    m_controls.setText(kHotKey, hotKeyText({r.keycode, r.keymodifier}));
    for (int c = 4; c < kCheckCount; ++c)
        m_controls.setChecked(kFirstSwitch + c, r.check[c] != 0);
    showTime(kTimeDown, m_timeDown, r.masterofft);
    showTime(kTimeUp, m_timeUp, r.masteront);
    showTime(kFadeTime, m_fadeTime, r.fadet);
    for (const FlagBox& box : kFlagBoxes)
        m_controls.setChecked(box.id, r.*box.field != 0);
    m_controls.setText(kGotoStep, format("%d", r.gotostep));
    if (m_controls.checked(kStepSound)) {
        m_controls.setPos(kAudioLeft, r.sound1);
        m_controls.setPos(kAudioRight, r.sound2);
    }
    m_controls.setText(kPredefinedEffect, decodeStored(r.ple, m_encoding));
}

uint32_t Console::captureColour6(uint32_t shown) const {
    // The index stays exact while the button still shows its colour.
    if (shown == paletteDisplayColour(m_colour6Index))
        return m_colour6Index;
    return uint32_t(nearestPaletteIndex(shown));
}

StepRecord Console::capture() const {
    StepRecord r;
    r.master = posToLevel(m_controls.pos(kMaster));
    for (int i = 0; i < kEntryCount; ++i) {
        if (kPatch[i].type == kTypeLamp)
            r.lamp[i] = m_lamps[i];
        else
            r.pair[i] = m_pairs[i];
    }
    for (int f = 0; f < kFaderCount; ++f)
        r.fader[f] = posToLevel(m_controls.pos(kFaders[f]));
    for (int c = 0; c < kColourCount; ++c) {
        uint32_t shown = m_controls.colour(kColourButtons[c]);
        r.colour[c] = c == kPaletteColour ? captureColour6(shown) : shown;
    }
    for (int c = 0; c < kCheckCount; ++c)
        r.check[c] = m_controls.checked(kFirstSwitch + c) ? 1 : 0;
    captureNonLight(r);
    r.scanner = m_scanners;
    r.head = m_heads;
    if (m_captureBlocks)
        m_captureBlocks(r);
    return r;
}

void Console::captureNonLight(StepRecord& r) const {
    r.resetmaster = 0;
    r.setmaster = 0;
    r.name = encodeStored(consoleToStored(m_controls.text(kStepName)), m_encoding);
    r.extra = encodeStored(consoleToStored(m_controls.text(kExtra)), m_encoding);
    r.soundnameatbegin = encodeStored(m_controls.text(kSoundName), m_encoding);
    HotKey key = parseHotKey(m_controls.text(kHotKey)).value_or(HotKey{});
    r.keycode = key.keycode;
    r.keymodifier = key.modifiers;
    r.masterofft = capturedTime(kTimeDown, m_timeDown);
    r.masteront = capturedTime(kTimeUp, m_timeUp);
    r.fadet = capturedTime(kFadeTime, m_fadeTime);
    for (const FlagBox& box : kFlagBoxes)
        r.*box.field = m_controls.checked(box.id) ? 1 : 0;
    r.gotostep = m_controls.textInt(kGotoStep);
    r.sound1 = m_controls.pos(kAudioLeft);
    r.sound2 = m_controls.pos(kAudioRight);
    r.ple = encodeStored(m_controls.text(kPredefinedEffect), m_encoding);
}

void Console::displayNext(const StepRecord& r) {
    m_controls.setPos(kNextMaster, levelToPos(r.master));
    for (int f = 0; f < 24; ++f)
        m_controls.setPos(kNextFaders[f], levelToPos(r.fader[f]));
    for (int c = 0; c < 9; ++c) {
        uint32_t shown = r.colour[c];
        if (c == kPaletteColour) {
            m_nextColour6Index = r.colour[c];
            shown = paletteDisplayColour(r.colour[c]);
        }
        m_controls.setColour(kNextColourButtons[c], shown);
    }
    for (int c = 4; c < kCheckCount; ++c)
        m_controls.setChecked(kNextFirstSwitch + c - 4, r.check[c] != 0);
}

void Console::captureNextOver(StepRecord& r) const {
    r.master = posToLevel(m_controls.pos(kNextMaster));
    for (int f = 0; f < 24; ++f)
        r.fader[f] = posToLevel(m_controls.pos(kNextFaders[f]));
    for (int c = 0; c < 9; ++c) {
        uint32_t shown = m_controls.colour(kNextColourButtons[c]);
        if (c == kPaletteColour)
            r.colour[c] = shown == paletteDisplayColour(m_nextColour6Index)
                              ? m_nextColour6Index
                              : uint32_t(nearestPaletteIndex(shown));
        else
            r.colour[c] = shown;
    }
    for (int c = 4; c < kCheckCount; ++c)
        r.check[c] = m_controls.checked(kNextFirstSwitch + c - 4) ? 1 : 0;
}

} // namespace orvane
