#pragma once
// Joystick 1 as the console sees it. User-interface thread only.

#include <cstdint>
#include <optional>

namespace orvane {

struct JoystickPosition {
    uint16_t x = 0;
    uint16_t y = 0;
    uint32_t buttons = 0; // bit 0: button 1, bits 1-3: buttons 2-4 (fire)
    uint16_t z = 0;       // the throttle, steering the scanners' spot size
    bool hasZ = false;    // a stick without a throttle leaves the spot size alone
};

class Joystick {
public:
    virtual ~Joystick() = default;
    // The position now, or nothing when no joystick answers.
    virtual std::optional<JoystickPosition> position() = 0;
};

} // namespace orvane
