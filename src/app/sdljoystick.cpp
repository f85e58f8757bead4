#include "app/sdljoystick.h"

#include <SDL2/SDL.h>

namespace orvane {

SdlJoystick::SdlJoystick() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
        return;
    if (SDL_NumJoysticks() > 0)
        m_stick = SDL_JoystickOpen(0);
}

SdlJoystick::~SdlJoystick() {
    if (m_stick)
        SDL_JoystickClose(m_stick);
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

std::optional<JoystickPosition> SdlJoystick::position() {
    if (!m_stick || !SDL_JoystickGetAttached(m_stick))
        return std::nullopt;
    SDL_JoystickUpdate();
    auto axis = [this](int n) {
        return static_cast<uint16_t>(int(SDL_JoystickGetAxis(m_stick, n)) + 32768);
    };
    JoystickPosition p;
    p.x = axis(0);
    p.y = axis(1);
    if (SDL_JoystickNumAxes(m_stick) > 2) {
        p.z = axis(2);
        p.hasZ = true;
    }
    int buttons = SDL_JoystickNumButtons(m_stick);
    for (int b = 0; b < buttons && b < 32; ++b)
        if (SDL_JoystickGetButton(m_stick, b))
            p.buttons |= 1u << b;
    return p;
}

} // namespace orvane
