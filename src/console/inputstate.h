#pragma once
// The keyboard and mouse as the playback polls them: keys by virtual-key code
// (letters are their upper-case ASCII codes, numeric pad + is 0x6B and - 0x6D,
// Delete 0x2E, Page Up 0x21, Page Down 0x22), "down now" and "pressed since the
// last query", and the mouse buttons. Fed by the application's event filter.
// User-interface thread only.

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvane {

namespace vk {
constexpr uint16_t kShift = 0x10;
constexpr uint16_t kControl = 0x11;
constexpr uint16_t kAlt = 0x12;
constexpr uint16_t kPageUp = 0x21;
constexpr uint16_t kPageDown = 0x22;
constexpr uint16_t kDelete = 0x2E;
constexpr uint16_t kPadPlus = 0x6B;
constexpr uint16_t kPadMinus = 0x6D;
} // namespace vk

enum class MouseButton : uint8_t { Left, Middle, Right };

class InputState {
public:
    void keyDown(uint16_t code);
    void keyUp(uint16_t code);
    void mouseDown(MouseButton b) { m_mouse[size_t(b)] = true; }
    void mouseUp(MouseButton b) { m_mouse[size_t(b)] = false; }
    void releaseAll(); // the program lost the focus

    bool down(uint16_t code) const { return code < kKeys && m_down[code]; }
    // True once for each press since the previous query of the same key.
    bool pressedSinceLastQuery(uint16_t code);
    bool mouse(MouseButton b) const { return m_mouse[size_t(b)]; }
    // A key or a mouse button held: the ticks act on them while they are.
    bool anyDown() const;

private:
    static constexpr uint16_t kKeys = 256;
    std::array<bool, kKeys> m_down{};
    std::array<bool, kKeys> m_pressed{};
    std::array<bool, 3> m_mouse{};
};

} // namespace orvane
