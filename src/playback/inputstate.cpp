#include "playback/inputstate.h"

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

bool InputState::pressedSinceLastQuery(uint16_t code) {
    if (code >= kKeys)
        return false;
    bool pressed = m_pressed[code];
    m_pressed[code] = false;
    return pressed;
}

} // namespace orvane
