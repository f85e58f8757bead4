#pragma once
// Joystick 1 through SDL2's joystick 0; axes mapped to 0..65535 as the console
// expects. Absent when SDL finds no joystick.

#include "console/joystick.h"

struct _SDL_Joystick;

namespace orvane {

class SdlJoystick : public Joystick {
public:
    SdlJoystick();
    ~SdlJoystick() override;
    std::optional<JoystickPosition> position() override;

private:
    _SDL_Joystick* m_stick = nullptr;
};

} // namespace orvane
