// The colour palette's two conversions: index to display colour, colour to the
// nearest index.

#include "show/palette.h"
#include "show/steprecord.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(Palette, DisplayColourAddsTheYellowEmitterAndScalesIntoRange) {
    struct Case {
        uint32_t index;
        uint32_t want;
    } cases[] = {
        {0, makeColour(255, 0, 0)},
        {2, makeColour(255, 59, 0)},  // 260, 64 -> five steps down
        {3, makeColour(255, 127, 0)}, // 256, 128 -> one step down
        {4, makeColour(255, 191, 0)}, // 319, 255
        {5, makeColour(255, 255, 0)}, // the yellow emitter alone
        {8, makeColour(0, 255, 0)},   // 128, 383: red reaches 0 and stays there
        {20, makeColour(0, 0, 255)},
        {31, makeColour(255, 255, 255)}, // 510, 510, 255 is white, not scaled
        {32, makeColour(218, 7, 0)},
        {33, 0},
        {0xFFFFFFFFu, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paletteDisplayColour(c.index), c.want) << "index " << c.index;
}

TEST(Palette, NearestIndexTakesAStrongYellowAsTheYellowEmitter) {
    struct Case {
        uint8_t r, g, b;
        int want;
    } cases[] = {
        {255, 255, 0, 5},    // pure yellow emitter
        {255, 255, 255, 31}, // blue 200 or more: compared as it is
        {0, 0, 0, 5},        // entry 5 has no red, green or blue at all
        {255, 0, 0, 0},      // equal to entries 0 and 30: the lower wins
        {0, 0, 255, 20},     {128, 0, 255, 23}, {255, 128, 0, 1}, // mean 191: no yellow taken out
        {200, 210, 10, 5},                                        // mean 205: (0, 5, 10) remains
        {250, 210, 10, 5},                                        // mean 230: (20, 0, 10) remains
        {0, 250, 250, 15},   {218, 7, 0, 2}, // entry 32 itself is never a result
    };
    for (const Case& c : cases)
        EXPECT_EQ(nearestPaletteIndex(makeColour(c.r, c.g, c.b)), c.want)
            << int(c.r) << "," << int(c.g) << "," << int(c.b);
}
