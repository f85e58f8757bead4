#pragma once
// Joystick 1 as the console sees it. User-interface thread only.

#include <cstdint>
#include <optional>

namespace orvane {

struct JoystickPosition {
    uint16_t x = 0;
    uint16_t y = 0;
    uint32_t buttons = 0; // bit 0: fire, bit 2: middle
};

class Joystick {
public:
    virtual ~Joystick() = default;
    // The position now, or nothing when no joystick answers.
    virtual std::optional<JoystickPosition> position() = 0;
};

} // namespace orvane
