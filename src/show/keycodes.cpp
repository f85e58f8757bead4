#include "show/keycodes.h"

#include "show/textutil.h"

#include <array>

namespace orvane {

namespace {

struct NamedKey {
    uint16_t code;
    const char* name;
};

// Keys other than letters, digits and F1..F24. Never translated: these are
// the names the operator types in a hot key and the show file holds.
constexpr std::array<NamedKey, 23> kNamed = {{
    {0x08, "Backspace"}, {0x09, "Tab"},        {0x0D, "Return"},  {0x13, "Pause"}, {0x1B, "Esc"},
    {0x20, "Space"},     {0x21, "PgUp"},       {0x22, "PgDown"},  {0x23, "End"},   {0x24, "Home"},
    {0x25, "Left"},      {0x26, "Up"},         {0x27, "Right"},   {0x28, "Down"},  {0x2D, "Ins"},
    {0x2E, "Del"},       {0x6A, "Num+*"},      {0x6B, "Num++"},   {0x6D, "Num+-"}, {0x6E, "Num+."},
    {0x6F, "Num+/"},     {0x91, "ScrollLock"}, {0x90, "NumLock"},
}};

} // namespace

std::string keyName(uint16_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, char(code));
    if (code >= 0x60 && code <= 0x69)
        return "Num+" + std::string(1, char('0' + code - 0x60));
    if (code >= 0x70 && code <= 0x87)
        return format("F%d", code - 0x70 + 1);
    for (const NamedKey& k : kNamed)
        if (k.code == code)
            return k.name;
    return {};
}

uint16_t keyCodeOf(std::string_view name) {
    if (name.size() == 1) {
        char c = asciiLower(name[0]);
        if (c >= 'a' && c <= 'z')
            return uint16_t(c - 'a' + 'A');
        if (c >= '0' && c <= '9')
            return uint16_t(c);
    }
    if (name.size() == 5 && equalsIgnoreCase(name.substr(0, 4), "num+") && name[4] >= '0' &&
        name[4] <= '9')
        return uint16_t(0x60 + name[4] - '0');
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
        int n = leadingInt(name.substr(1));
        if (n >= 1 && n <= 24 && format("%d", n) == name.substr(1))
            return uint16_t(0x70 + n - 1);
    }
    for (const NamedKey& k : kNamed)
        if (equalsIgnoreCase(k.name, name))
            return k.code;
    return 0;
}

std::string hotKeyText(HotKey key) {
    std::string name = keyName(key.keycode);
    if (name.empty())
        return {};
    std::string text;
    if (key.modifiers & kModCtrl)
        text += "Ctrl+";
    if (key.modifiers & kModAlt)
        text += "Alt+";
    if (key.modifiers & kModShift)
        text += "Shift+";
    return text + name;
}

std::optional<HotKey> parseHotKey(std::string_view text) {
    HotKey key;
    if (text.empty())
        return key;
    // Modifiers come first, each ending in '+'; a key may itself end in '+' ("Num++").
    for (;;) {
        size_t plus = text.find('+');
        if (plus == std::string_view::npos || plus == 0)
            break;
        std::string_view part = text.substr(0, plus);
        uint16_t mod = equalsIgnoreCase(part, "ctrl")    ? kModCtrl
                       : equalsIgnoreCase(part, "alt")   ? kModAlt
                       : equalsIgnoreCase(part, "shift") ? kModShift
                                                         : 0;
        if (mod == 0)
            break;
        key.modifiers |= mod;
        text.remove_prefix(plus + 1);
    }
    key.keycode = keyCodeOf(text);
    if (key.keycode == 0)
        return std::nullopt;
    return key;
}

bool isUndoRedoKey(HotKey key) {
    uint16_t mods = key.modifiers & (kModShift | kModCtrl | kModAlt);
    return (key.keycode == 'Z' && (mods == kModCtrl || mods == (kModCtrl | kModShift))) ||
           (key.keycode == 'Y' && mods == kModCtrl);
}

} // namespace orvane
