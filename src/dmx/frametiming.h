#pragma once
// How frames go out on the DMX line, from the profile's [settings]:
// "framerate", frames per second from 1 to 44 (decimals allowed, always with
// a "."), and "breakus", the break before each frame in microseconds (at
// least 100, default 200). Without "framerate" the line keeps its usual
// cadence: the break held for one 30 ms tick, the frame on the next, 16.7
// frames a second. With it, every frame is a break of "breakus", a 12 µs
// mark-after-break and the 513 bytes, on deadlines 1/rate apart; a rate the
// line cannot carry with that break is refused. Pure logic.

#include "core/clock.h"

#include <string>
#include <string_view>

namespace orvane {

constexpr double kMinFrameRate = 1;
constexpr double kMaxFrameRate = 44;
constexpr Microseconds kMinBreak{100};
constexpr Microseconds kDefaultBreak{200};
constexpr Microseconds kMaxBreak{1000000};
constexpr Microseconds kMarkAfterBreak{12};
// 513 slots of 11 bits (start bit, 8 data bits, 2 stop bits) at 250000 baud.
constexpr Microseconds kFrameWireTime{513 * 11 * 4};
// The usual cadence: one frame every two 30 ms ticks.
constexpr double kUsualFrameRate = 1000.0 / 60.0;

struct FrameTiming {
    double rate = 0; // frames per second; 0: the usual cadence
    Microseconds breakTime = kDefaultBreak;

    bool chosen() const { return rate > 0; }
    // The time between two frames' deadlines (a chosen rate only).
    Nanoseconds period() const;
    bool operator==(const FrameTiming&) const = default;
};

// The most frames a second the line carries when each has this break: the
// break, the mark-after-break and the 513 slots back to back (and never more
// than 44).
double wireLimit(Microseconds breakTime);

// Reads both settings. A value that is not understood or that the line cannot
// carry leaves its default in place and is described in *problem (one line per
// setting, for the operator); an empty value is absent.
FrameTiming chooseFrameTiming(std::string_view framerate, std::string_view breakus,
                              std::string* problem);

// "16.7", "40": a rate as the operator reads it, to a tenth, without a
// trailing ".0", with "." whatever the locale.
std::string rateText(double rate);

} // namespace orvane
