#include "console/inputstate.h"

#include <algorithm>

namespace orvane {

void InputState::keyDown(uint16_t code) {
    if (code >= kKeys)
        return;
    m_down[code] = true;
    m_pressed[code] = true;
}

void InputState::keyUp(uint16_t code) {
    if (code < kKeys)
        m_down[code] = false;
}

void InputState::releaseAll() {
    m_down.fill(false);
    m_mouse.fill(false);
}

bool InputState::anyDown() const {
    auto held = [](bool b) { return b; };
    return std::any_of(m_down.begin(), m_down.end(), held) ||
           std::any_of(m_mouse.begin(), m_mouse.end(), held);
}

bool InputState::pressedSinceLastQuery(uint16_t code) {
    if (code >= kKeys)
        return false;
    bool pressed = m_pressed[code];
    m_pressed[code] = false;
    return pressed;
}

} // namespace orvane
