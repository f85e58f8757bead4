// The fixed channel layout: levels, checks, scanners, washes, heads, the 5-channel
// lamps, the flash markers, the current colour, and composing without a next step.

#include "dmx/composer.h"
#include "test_composer_frames.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::frameOf;
using testing::Run;
using testing::sameFrame;
using testing::withRuns;

void setHead(StepRecord& r, int head, int firstByte, int count) {
    for (int k = 0; k < count; ++k)
        r.head[head].channel[k] = uint8_t(firstByte + k);
}

TEST(ComposerLayout, WholeFrameFromOneRecord) {
    StepRecord r;
    r.master = 255;
    for (int k = 1; k <= 16; ++k)
        r.fader[k - 1] = 10 * k;
    r.fader[17 - 1] = 255;
    r.fader[18 - 1] = 255; // level 18 and colour 2 are not placed
    r.fader[19 - 1] = 255;
    r.fader[20 - 1] = kLevelForcedFull;
    r.fader[21 - 1] = kLevelForcedOff;
    r.fader[22 - 1] = 255; // neither are level 22 and colour 6
    r.fader[23 - 1] = 255;
    r.fader[24 - 1] = 255;
    r.fader[25 - 1] = 255;
    r.fader[26 - 1] = 128;
    r.fader[27 - 1] = 255;
    r.fader[28 - 1] = 0;
    const uint32_t colours[13] = {
        makeColour(200, 100, 50),  makeColour(9, 9, 9),     makeColour(10, 20, 30),
        makeColour(40, 50, 60),    makeColour(70, 80, 90),  makeColour(9, 9, 9),
        makeColour(110, 120, 130), makeColour(1, 2, 3),     makeColour(255, 200, 0),
        makeColour(255, 255, 255), makeColour(100, 0, 200), makeColour(0, 0, 0),
        makeColour(60, 60, 60)};
    std::copy(std::begin(colours), std::end(colours), r.colour.begin());
    r.check = {1, 1, 1, 1, 1, 0, 7, 0}; // the four shutter boxes have no channel
    r.scanner[0].channel = {1, 2, 3, 4, 5, 6, 7};
    r.scanner[1].channel = {11, 12, 13, 14, 15, 16, 17};
    r.scanner[2].channel = {21, 22, 23, 24, 25, 26, 27};
    setHead(r, 0, 101, 16);
    setHead(r, 1, 60, 14);
    setHead(r, 2, 90, 14);
    setHead(r, 3, 120, 14);
    setHead(r, 4, 150, 14);
    ComposerOptions o;
    o.mh1 = true;

    const Universe want = frameOf({
        {1, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 160}},
        {24, {255, 0, 255, 0}},
        {28, {1, 2, 3, 4, 5, 6, 7}},
        {35, {200, 100, 50, 50}},
        {43, {10, 20, 30, 10}},
        {47, {40, 50, 60, 40}},
        {51, {0, 0, 0, 0}},
        {59, {11, 12, 13, 14, 21, 22, 23, 24}},
        {67, {110, 120, 130}},
        {70, {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116}},
        {86, {255, 200, 0}},
        {99, {60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73}},
        {113, {90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 103}},
        {127, {120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133}},
        {141, {150, 151, 152, 153, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163}},
        {155, {255, 255, 255, 255, 0, 50, 0, 100, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0}},
        {423, {255}},
    });
    Composer composer;
    Universe u{};
    composer.Compose(r, u, nullptr, nullptr, 0, o);
    EXPECT_TRUE(sameFrame(u, want));
    EXPECT_EQ(composer.currentColour(), (CurrentColour{1, 2, 3}));
}

TEST(ComposerLayout, MastersAndFlashMarkers) {
    // Each row sets one level and reads the channels it drives.
    struct Case {
        int master, level, value;
        int channel;
        std::vector<int> want;
    } cases[] = {
        {255, 1, 200, 1, {200}},
        {128, 2, 200, 2, {100}},
        {0, 5, kLevelForcedFull, 5, {255}},
        {255, 5, kLevelForcedOff, 5, {0}},
        {0, 16, 255, 16, {0}},
        {255, 17, 255, 35, {200, 100, 50, 50}},
        {102, 17, 255, 35, {80, 40, 20, 20}},
        {0, 17, kLevelForcedFull, 35, {200, 100, 50, 50}},
        {255, 17, kLevelForcedOff, 35, {0, 0, 0, 0}},
        {0, 23, kLevelForcedFull, 67, {255, 10, 90}},
        {200, 23, 128, 67, {100, 3, 35}},
        // colour 9 and the 5-channel lamps ignore the master and know no markers:
        // 255 x 256 / 255 is 256, whose low eight bits are 0.
        {0, 24, 255, 86, {255, 10, 90}},
        {255, 24, kLevelForcedFull, 86, {0, 10, 90}},
        {255, 24, kLevelForcedOff, 86, {1, 10, 90}},
        {255, 25, kLevelForcedFull, 155, {0, 10, 90, 255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        StepRecord r;
        r.master = c.master;
        r.fader[c.level - 1] = c.value;
        r.colour[0] = makeColour(200, 100, 50);
        r.colour[6] = r.colour[8] = r.colour[9] = makeColour(255, 10, 90);
        ComposerOptions o;
        o.disableFalseBlack = true;
        Universe u{};
        Composer().Compose(r, u, nullptr, nullptr, 0, o);
        EXPECT_EQ(std::vector<int>(&u[c.channel - 1], &u[c.channel - 1 + c.want.size()]), c.want);
    }
}

TEST(ComposerLayout, WithoutNextStepPatchChannelsKeepTheirBytes) {
    // Only the fixed layout is written; everything else keeps the old 0x5A.
    Universe before;
    before.fill(0x5A);
    const Universe want = withRuns(before, {{1, std::vector<int>(16, 0)},
                                            {24, std::vector<int>(15, 0)}, // 24-38
                                            {43, std::vector<int>(12, 0)}, // 43-54
                                            {59, std::vector<int>(30, 0)}, // 59-88
                                            {99, std::vector<int>(76, 0)}, // 99-174
                                            {158, {255}},
                                            {163, {255}},
                                            {168, {255}},
                                            {173, {255}},
                                            {423, {0}}});
    StepRecord r;
    r.master = 255;
    r.lamp[0] = {0xFFFFFF, 255, 255, 255, 255};
    r.pair[31].first = 255; // SHU1 would close
    Universe u = before;
    Composer().Compose(r, u, nullptr, &r, 128, ComposerOptions{});
    EXPECT_TRUE(sameFrame(u, want));
}

} // namespace
} // namespace orvane
