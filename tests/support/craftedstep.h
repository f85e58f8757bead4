#pragma once
// A show whose step 4 composes to a known universe, for tests that follow a
// step from the show file to the bytes an output sends.

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::test {

// The show file: step 4 with level 1 at full master and colour 1.
inline std::string craftedShowFile() {
    return "[GLOBAL]\r\nmanualstep=1\r\n"
           "4$master=255\r\n4$1=200\r\n4$17=255\r\n"
           "4$color_r1=200\r\n4$color_g1=100\r\n4$color_b1=50\r\n";
}

// Step 4's frame: start code 0, then the 512 channels.
inline std::vector<uint8_t> craftedStepFrame() {
    // Level 1 at full master; colour 1 at level 17 with its white; both
    // shutters open (an inverted level of 0).
    std::vector<uint8_t> expected(513, 0);
    expected[1] = 200;
    expected[35] = 200;
    expected[36] = 100;
    expected[37] = 50;
    expected[38] = 50;
    expected[413] = 255;
    expected[414] = 255;
    // The four 5-channel lamps carry a fixed 255 on their fourth channel.
    for (int lamp = 0; lamp < 4; ++lamp)
        expected[size_t(155 + 5 * lamp + 3)] = 255;
    // Scanner 1 derives its channel 6 from the spot size 0: 0 x 115 / 100 + 11.
    expected[33] = 11;
    return expected;
}

} // namespace orvane::test
