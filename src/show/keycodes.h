#pragma once
// Hot keys as show files store them: a virtual-key code (letters and digits are
// their upper-case ASCII codes, F1 = 0x70, space = 0x20, ...) and the hot-key
// field's modifier flags (Shift 1, Ctrl 2, Alt 4). The console's hot-key field
// shows a key as portable text ("Ctrl+Shift+A"). This is the one table between
// the two. Safe from any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

constexpr uint16_t kModShift = 1;
constexpr uint16_t kModCtrl = 2;
constexpr uint16_t kModAlt = 4;

struct HotKey {
    uint16_t keycode = 0;
    uint16_t modifiers = 0;
    bool operator==(const HotKey&) const = default;
};

// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y undo and redo in every window: a step's hot
// key on one of them never fires.
bool isUndoRedoKey(HotKey key);

// "" for keycode 0 or a code without a name.
std::string hotKeyText(HotKey key);
// Nothing for text that names no known key; "" is the empty hot key.
std::optional<HotKey> parseHotKey(std::string_view text);

// The name of a virtual-key code ("A", "F1", "Space"), "" when unknown.
std::string keyName(uint16_t keycode);
// The virtual-key code of a key name, 0 when unknown.
uint16_t keyCodeOf(std::string_view name);

} // namespace orvane
