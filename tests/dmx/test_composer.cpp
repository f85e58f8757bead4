// Patch entries: placement, cross-fade per function type, pulses, disable switches,
// shutters and the channel shared by "LY1" and "MH1".

#include "dmx/composer.h"
#include "test_composer_frames.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::Run;
using testing::sameFrame;
using testing::spotsOnly;
using testing::withRuns;

// Live at master 200, next at master 100, one entry of every type in use.
struct FadePair {
    StepRecord live, next;
    FadePair() {
        live.master = 200;
        next.master = 100;
        next.faderude = 1; // only the live record's flag counts
        live.lamp[0] = {makeColour(100, 50, 250), 10, 200, 77, 99};
        next.lamp[0] = {makeColour(20, 240, 0), 250, 150, 5, 6};
        set(14, 255, 0);           // F1, pulsed fan on channel 382
        set(22, 0, 255);           // F9, pulsed fan on channel 20
        set(24, 40, 220);          // F11, fan level on 390
        set(28, 180, 30);          // S1, smoke on 407
        set(34, 0, 1, 3, 0);       // FP1 on 39-40: perfume first, fog fan second
        set(31, 100, 200);         // SHU1 on 413
        set(32, 250, 0);           // SHU2 on 414
        set(36, 0, 255);           // UV1, pulsed on 420
        set(37, 100, 0);           // UV2, pulsed on 421
        set(38, 60, 200, 250, 90); // L1 on 424-425: strobe first, intensity second
    }
    void set(int i, int l1, int n1, int l2 = 0, int n2 = 0) {
        live.pair[i] = {uint8_t(l1), uint8_t(l2)};
        next.pair[i] = {uint8_t(n1), uint8_t(n2)};
    }
};

TEST(ComposerFade, EveryTypeAtBothEndsAndMidway) {
    // Channel, then its value at fade 0, 128 and 255; every other channel but the
    // four 255s of the 5-channel lamps is 0. A fresh counter gives F1 count 1,
    // F9 9, UV1 11, UV2 12.
    // clang-format off
    const int rows[][4] = {
        {256, 156, 107, 58}, {257, 100, 59, 20}, {258, 50, 145, 240}, {259, 250, 124, 0},
        {262, 10, 130, 250}, {263, 77, 77, 77},  {264, 99, 99, 99},   // lamp 0
        {382, 255, 255, 0},  {20, 0, 0, 255},                          // F1, F9
        {390, 40, 130, 220}, {407, 180, 104, 30},                      // F11, S1
        {39, 255, 255, 0},   {40, 0, 0, 255},                          // FP1
        {413, 255, 0, 0},    {414, 0, 255, 255},                       // SHU1, SHU2
        {420, 0, 255, 255},  {421, 255, 0, 0},                         // UV1, UV2
        {424, 196, 115, 35}, {425, 60, 130, 200},                      // L1
    };
    // clang-format on
    const int fades[] = {0, 128, 255};
    FadePair p;
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(fades[column]);
        Universe want = spotsOnly();
        for (const auto& row : rows)
            want[row[0] - 1] = uint8_t(row[1 + column]);
        Universe u{};
        Composer().Compose(p.live, u, &p.next, nullptr, fades[column], ComposerOptions{});
        EXPECT_TRUE(sameFrame(u, want));
    }
}

TEST(ComposerFade, RudeFadeKeepsLiveValues) {
    FadePair p;
    p.live.faderude = 1;
    Universe atZero{};
    Composer().Compose(p.live, atZero, &p.next, nullptr, 0, ComposerOptions{});
    for (int fade : {128, 255}) {
        Universe u{};
        Composer().Compose(p.live, u, &p.next, nullptr, fade, ComposerOptions{});
        EXPECT_TRUE(sameFrame(u, atZero)) << "fade " << fade;
    }
}

// Fans F1-F8 sit on 382-389, F9 and F10 on 20 and 21.
Universe withFans(Universe u, std::vector<int> f) {
    return withRuns(u,
                    {{382, {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}}, {20, {f[8], f[9]}}});
}

TEST(ComposerPulse, TenFansSeeTenCounterValues) {
    // Fans F1..F10 are computed in a row, so one frame shows ten successive counts;
    // every composition adds 14 (ten fans, UV1, UV2, F15, LY1).
    struct Case {
        uint32_t start;
        int level;
        std::vector<int> first, second;
        bool pulsing; // off and full stay as they are: only the others switch
    } cases[] = {
        // clang-format off
        {0, 0, std::vector<int>(10, 0), std::vector<int>(10, 0), false},
        {0, 255, std::vector<int>(10, 255), std::vector<int>(10, 255), false},
        // d = 5.02: on while count mod 10 is 0-5; counts 1-10, then 15-24.
        {0, 128, {255, 255, 255, 255, 255, 0, 0, 0, 0, 255},
                 {255, 0, 0, 0, 0, 255, 255, 255, 255, 255}, true},
        // d = 2.0 exactly; counts 4294967294, 4294967295, then 0-7 after the wrap; 12-21.
        {0xFFFFFFFDu, 51, {0, 0, 255, 255, 255, 0, 0, 0, 0, 0},
                          {255, 0, 0, 0, 0, 0, 0, 0, 255, 255}, true},
        // d = 9.0: on for every count.
        {0, 230, std::vector<int>(10, 255), std::vector<int>(10, 255), false},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        StepRecord r;
        r.master = 255;
        for (int i = 14; i <= 23; ++i)
            r.pair[i].first = uint8_t(c.level);
        const Universe idle = withRuns(spotsOnly(), {{413, {255, 255}}});
        Composer composer(c.start);
        Universe u{};
        composer.Compose(r, u, &r, nullptr, 0, ComposerOptions{});
        EXPECT_TRUE(sameFrame(u, withFans(idle, c.first)));
        composer.Compose(r, u, &r, nullptr, 0, ComposerOptions{});
        EXPECT_TRUE(sameFrame(u, withFans(idle, c.second)));
        EXPECT_EQ(composer.pulsing(), c.pulsing);
    }
}

TEST(ComposerPulse, PulsedLampsShareTheFanCounter) {
    // Fresh counter: UV1 sees count 11, UV2 12, F15 13.
    struct Case {
        int uv1, uv2, f15;
        std::vector<int> want; // channels 420, 421, 422
    } cases[] = {
        {26, 50, 77, {255, 0, 255}}, // d = 1.02, 1.96, 3.02
        {25, 51, 76, {0, 255, 0}},   // d = 0.98, 2.00, 2.98
    };
    for (const Case& c : cases) {
        StepRecord r;
        r.master = 255;
        r.pair[36].first = uint8_t(c.uv1);
        r.pair[37].first = uint8_t(c.uv2);
        r.pair[40].first = uint8_t(c.f15);
        Universe u{};
        Composer().Compose(r, u, &r, nullptr, 0, ComposerOptions{});
        EXPECT_EQ((std::vector<int>{u[419], u[420], u[421]}), c.want) << c.uv1;
    }
}

TEST(ComposerPulse, DisabledFansStillCount) {
    // Second frame: UV1 sees count 25 (mod 5), so d = 4.31 keeps it off.
    StepRecord r;
    r.master = 255;
    r.pair[36].first = 110;
    ComposerOptions o;
    o.disableFans = true;
    Composer composer;
    Universe u{};
    composer.Compose(r, u, &r, nullptr, 0, o);
    EXPECT_EQ(u[420 - 1], 255);
    composer.Compose(r, u, &r, nullptr, 0, o);
    EXPECT_EQ(u[420 - 1], 0);
}

TEST(ComposerDisable, SwitchesSilenceTheirTypes) {
    StepRecord r;
    r.master = 255;
    for (int i : {14, 22, 24, 40, 28, 36}) // F1, F9, F11, F15, S1, UV1
        r.pair[i].first = 255;
    r.pair[34] = {1, 1}; // FP1
    const Universe all = withRuns(spotsOnly(), {{382, {255}},
                                                {20, {255}},
                                                {390, {255}},
                                                {422, {255}},
                                                {407, {255}},
                                                {420, {255}},
                                                {39, {255, 255}},
                                                {413, {255, 255}}});
    struct Case {
        bool fans, smokes, perfumes;
        Universe want;
    } cases[] = {
        {false, false, false, all},
        {true, false, false, withRuns(all, {{382, {0}}, {20, {0}}, {390, {0}}, {422, {0}}})},
        {false, true, false, withRuns(all, {{407, {0}}})},
        {false, false, true, withRuns(all, {{39, {0, 0}}})},
    };
    for (const Case& c : cases) {
        ComposerOptions o;
        o.disableFans = c.fans;
        o.disableSmokes = c.smokes;
        o.disablePerfumes = c.perfumes;
        Universe u{};
        Composer().Compose(r, u, &r, nullptr, 0, o);
        EXPECT_TRUE(sameFrame(u, c.want)) << c.fans << c.smokes << c.perfumes;
    }
}

TEST(ComposerShutter, InvertedTwoStateOrHeldByHand) {
    struct Case {
        bool manu1, shutter1, manu2, shutter2;
        int shu1, shu2;
        int want413, want414;
    } cases[] = {
        {false, false, false, false, 100, 200, 255, 0},
        {false, false, false, false, 127, 128, 255, 0},
        {false, true, false, true, 200, 0, 0, 255}, // the boxes count only by hand
        {true, true, false, false, 200, 200, 255, 0},
        {true, false, true, true, 0, 255, 0, 255},
        {false, false, true, false, 0, 0, 255, 0},
    };
    for (const Case& c : cases) {
        StepRecord r;
        r.pair[31].first = uint8_t(c.shu1);
        r.pair[32].first = uint8_t(c.shu2);
        ComposerOptions o;
        o.manuShutter1 = c.manu1;
        o.shutter1 = c.shutter1;
        o.manuShutter2 = c.manu2;
        o.shutter2 = c.shutter2;
        Universe u{};
        Composer().Compose(r, u, &r, nullptr, 0, o);
        EXPECT_EQ(u[413 - 1], c.want413) << c.shu1;
        EXPECT_EQ(u[414 - 1], c.want414) << c.shu2;
    }
}

TEST(ComposerPatch, Channel423FollowsMh1NotLy1) {
    struct Case {
        int ly1;
        bool mh1;
        int want;
    } cases[] = {{255, false, 0}, {0, true, 255}, {255, true, 255}};
    for (const Case& c : cases) {
        StepRecord r;
        r.master = 255;
        r.pair[41].first = uint8_t(c.ly1);
        ComposerOptions o;
        o.mh1 = c.mh1;
        Universe u{};
        Composer().Compose(r, u, &r, nullptr, 0, o);
        EXPECT_EQ(u[423 - 1], c.want) << c.ly1 << c.mh1;
    }
}

TEST(ComposerPatch, EachEntryLandsOnItsChannels) {
    // A lamp fills its first nine channels but the fifth and sixth; a shutter at full
    // closes; LY1's channel belongs to "MH1".
    enum Shape { One, Two, Lamp, Closes, Hidden };
    struct Case {
        int entry, channel;
        Shape shape;
    } cases[] = {
        {0, 256, Lamp},  {1, 265, Lamp},    {2, 274, Lamp},    {3, 283, Lamp},  {4, 292, Lamp},
        {5, 301, Lamp},  {6, 310, Lamp},    {7, 319, Lamp},    {8, 328, Lamp},  {9, 337, Lamp},
        {10, 346, Lamp}, {11, 355, Lamp},   {12, 364, Lamp},   {13, 373, Lamp}, {14, 382, One},
        {15, 383, One},  {16, 384, One},    {17, 385, One},    {18, 386, One},  {19, 387, One},
        {20, 388, One},  {21, 389, One},    {22, 20, One},     {23, 21, One},   {24, 390, One},
        {25, 391, One},  {26, 392, One},    {27, 393, One},    {28, 407, One},  {29, 408, One},
        {30, 409, One},  {31, 413, Closes}, {32, 414, Closes}, {33, 398, Lamp}, {34, 39, Two},
        {35, 41, Two},   {36, 420, One},    {37, 421, One},    {38, 424, Two},  {39, 426, Two},
        {40, 422, One},  {41, 423, Hidden},
    };
    const Universe idle = withRuns(spotsOnly(), {{413, {255, 255}}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        StepRecord r;
        r.master = 255;
        r.lamp[c.entry] = {0xFFFFFF, 255, 255, 255, 255};
        r.pair[c.entry] = {255, 255};
        Universe want = idle;
        const int ch = c.channel;
        if (c.shape == One)
            want = withRuns(idle, {{ch, {255}}});
        if (c.shape == Two)
            want = withRuns(idle, {{ch, {255, 255}}});
        if (c.shape == Lamp)
            want = withRuns(idle, {{ch, {255, 255, 255, 255, 0, 0, 255, 255, 255}}});
        if (c.shape == Closes)
            want = withRuns(idle, {{ch, {0}}});
        Universe u{};
        Composer().Compose(r, u, &r, nullptr, 0, ComposerOptions{});
        EXPECT_TRUE(sameFrame(u, want));
    }
}

} // namespace
} // namespace orvane
