#include "app/hotkeys.h"
#include "console/controlids.h"

#include "show/steprecord.h"

#include <QKeySequence>
#include <QWidget>

#include <string>

namespace orvane {

namespace {
constexpr uint32_t kSoundPositionMask = 0x0FFFFFFF;

struct KeyPair {
    uint16_t code;
    Qt::Key key;
    bool keypad;
};

// Besides letters, digits, numeric-pad digits and F1..F24, which follow ranges.
// Where two Qt keys give one code, the first line is the way back.
constexpr KeyPair kKeys[] = {
    {0x08, Qt::Key_Backspace, false},    {0x09, Qt::Key_Tab, false},
    {0x0D, Qt::Key_Return, false},       {0x0D, Qt::Key_Enter, true},
    {0x10, Qt::Key_Shift, false},        {0x11, Qt::Key_Control, false},
    {0x12, Qt::Key_Alt, false},          {0x13, Qt::Key_Pause, false},
    {0x1B, Qt::Key_Escape, false},       {0x20, Qt::Key_Space, false},
    {0x21, Qt::Key_PageUp, false},       {0x22, Qt::Key_PageDown, false},
    {0x23, Qt::Key_End, false},          {0x24, Qt::Key_Home, false},
    {0x25, Qt::Key_Left, false},         {0x26, Qt::Key_Up, false},
    {0x27, Qt::Key_Right, false},        {0x28, Qt::Key_Down, false},
    {0x2D, Qt::Key_Insert, false},       {0x2E, Qt::Key_Delete, false},
    {0x6A, Qt::Key_Asterisk, true},      {0x6B, Qt::Key_Plus, true},
    {0x6D, Qt::Key_Minus, true},         {0x6E, Qt::Key_Period, true},
    {0x6F, Qt::Key_Slash, true},         {0x90, Qt::Key_NumLock, false},
    {0x91, Qt::Key_ScrollLock, false},   {0xBA, Qt::Key_Semicolon, false},
    {0xBB, Qt::Key_Equal, false},        {0xBC, Qt::Key_Comma, false},
    {0xBD, Qt::Key_Minus, false},        {0xBE, Qt::Key_Period, false},
    {0xBF, Qt::Key_Slash, false},        {0xC0, Qt::Key_QuoteLeft, false},
    {0xDB, Qt::Key_BracketLeft, false},  {0xDC, Qt::Key_Backslash, false},
    {0xDD, Qt::Key_BracketRight, false}, {0xDE, Qt::Key_Apostrophe, false},
};

constexpr std::pair<uint16_t, Qt::KeyboardModifier> kModifiers[] = {
    {kModShift, Qt::ShiftModifier},
    {kModCtrl, Qt::ControlModifier},
    {kModAlt, Qt::AltModifier},
};

std::optional<uint16_t> rangeCode(Qt::Key key, bool keypad) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return uint16_t(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return keypad ? uint16_t(0x60 + key - Qt::Key_0) : uint16_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return uint16_t(0x70 + key - Qt::Key_F1);
    return std::nullopt;
}

uint16_t tableCode(Qt::Key key, bool keypad) {
    for (const KeyPair& k : kKeys)
        if (k.key == key && k.keypad == keypad)
            return k.code;
    return 0;
}

HotKey normalised(HotKey key) {
    key.modifiers &= kModShift | kModCtrl | kModAlt;
    return key;
}

} // namespace

std::optional<QtKey> qtKeyOf(uint16_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return QtKey{Qt::Key(code), false};
    if (code >= 0x60 && code <= 0x69)
        return QtKey{Qt::Key(Qt::Key_0 + code - 0x60), true};
    if (code >= 0x70 && code <= 0x87)
        return QtKey{Qt::Key(Qt::Key_F1 + code - 0x70), false};
    for (const KeyPair& k : kKeys)
        if (k.code == code)
            return QtKey{k.key, k.keypad};
    return std::nullopt;
}

uint16_t virtualKeyOf(Qt::Key key, bool keypad) {
    if (std::optional<uint16_t> code = rangeCode(key, keypad))
        return *code;
    if (uint16_t code = tableCode(key, keypad))
        return code;
    // The numeric pad without Num Lock sends the plain cursor keys.
    return keypad ? tableCode(key, false) : 0;
}

std::optional<QKeyCombination> toKeyCombination(HotKey key) {
    std::optional<QtKey> k = key.keycode ? qtKeyOf(key.keycode) : std::nullopt;
    if (!k)
        return std::nullopt;
    Qt::KeyboardModifiers mods;
    for (auto [flag, mod] : kModifiers)
        if (key.modifiers & flag)
            mods |= mod;
    if (k->keypad)
        mods |= Qt::KeypadModifier;
    return QKeyCombination(mods, k->key);
}

std::optional<HotKey> fromKeyCombination(QKeyCombination combination) {
    Qt::KeyboardModifiers mods = combination.keyboardModifiers();
    uint16_t code = virtualKeyOf(combination.key(), mods.testFlag(Qt::KeypadModifier));
    if (code == 0 || mods.testFlag(Qt::MetaModifier))
        return std::nullopt;
    HotKey key{code, 0};
    for (auto [flag, mod] : kModifiers)
        if (mods.testFlag(mod))
            key.modifiers |= flag;
    return key;
}

HotKeys::HotKeys(QWidget* window, ControlModel& controls, HotKeyActions actions)
    : m_window(window), m_controls(controls), m_actions(std::move(actions)) {}

HotKeys::~HotKeys() {
    for (auto& [id, e] : m_keys)
        delete e.shortcut.data();
}

bool HotKeys::registerHotKey(uint32_t id, HotKey key) {
    unregisterHotKey(id);
    key = normalised(key);
    std::optional<QKeyCombination> combination = toKeyCombination(key);
    if (!combination || !m_window || isUndoRedoKey(key))
        return false;
    // One key, one action: a second owner would make the key ambiguous.
    for (const auto& [other, e] : m_keys)
        if (e.key == key)
            return false;
    auto* shortcut = new QShortcut(QKeySequence(*combination), m_window);
    shortcut->setContext(Qt::ApplicationShortcut);
    // A held key fires once, so a step is not activated over and over.
    shortcut->setAutoRepeat(false);
    connect(shortcut, &QShortcut::activated, this, [this, id] { onHotKey(id); });
    m_keys[id] = {key, shortcut};
    return true;
}

void HotKeys::unregisterHotKey(uint32_t id) {
    auto it = m_keys.find(id);
    if (it == m_keys.end())
        return;
    delete it->second.shortcut.data();
    m_keys.erase(it);
}

std::optional<HotKey> HotKeys::registered(uint32_t id) const {
    auto it = m_keys.find(id);
    if (it == m_keys.end())
        return std::nullopt;
    return it->second.key;
}

bool HotKeys::registerFadeIn() {
    return registerHotKey(kFadeInHotKeyId, {0x20, kModAlt});
}

int HotKeys::validateStepHotKeys(ShowStore& store) {
    // All steps let go first, so a key moved from one step to another is free
    // for its new step whatever their order.
    for (int i = 0; i < kStepCount; ++i)
        unregisterHotKey(uint32_t(i));
    int refused = 0;
    for (int i = 0; i < kStepCount; ++i) {
        std::string section = std::to_string(i);
        int32_t code = store.ReadStoreInt(section, "keycode", 0, {});
        if (code == 0)
            continue;
        int32_t mods = store.ReadStoreInt(section, "keymodifier", 0, {});
        bool valid = code > 0 && code <= 0xFF;
        if (!valid || !registerHotKey(uint32_t(i), {uint16_t(code), uint16_t(mods & 0xFF)}))
            ++refused;
    }
    return refused;
}

void HotKeys::setSoundHotKeys(const std::vector<SoundHotKey>& keys) {
    std::vector<uint32_t> old;
    for (const auto& [id, e] : m_keys)
        if (id & kSoundHotKeyBase)
            old.push_back(id);
    for (uint32_t id : old)
        unregisterHotKey(id);
    for (const SoundHotKey& k : keys)
        if (k.id & kSoundHotKeyBase)
            registerHotKey(k.id, k.key);
}

void HotKeys::onHotKey(uint32_t id) {
    if (id == kFadeInHotKeyId) {
        if (m_actions.fadeIn)
            m_actions.fadeIn();
        return;
    }
    if (id & kSoundHotKeyBase) {
        if (m_actions.stopSound)
            m_actions.stopSound();
        if (m_actions.selectSound)
            m_actions.selectSound(int(id & kSoundPositionMask));
        for (int button : {console::kPlay, console::kPlayRecord, console::kPlayReplay})
            m_controls.setEnabled(button, true);
        if (m_actions.play)
            m_actions.play();
        return;
    }
    if (id >= uint32_t(kStepCount))
        return;
    m_controls.setText(console::kStepNumber, std::to_string(id));
    if (m_actions.activateStep)
        m_actions.activateStep();
}

} // namespace orvane
