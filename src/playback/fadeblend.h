#pragma once
// The integer cross-fade of two step records used by the fade and by effect
// playback: with f the fade position (0 shows a, 256 shows b) and g = 256 - f,
// every blended field becomes (g x a + f x b) / 256, truncated. Head 1's bytes
// 6, 7 and 8 blend inverted. Safe from any thread.

#include "show/steprecord.h"

namespace orvane {

void blendToward(StepRecord& a, const StepRecord& b, int f);

} // namespace orvane
