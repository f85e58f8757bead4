// Moving-head protections: pre-positioning between steps and parking of dark heads.

#include "dmx/composer.h"
#include "test_composer_frames.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::sameFrame;
using testing::spotsOnly;
using testing::withRuns;

// Where each head's position bytes and dimmer go.
struct HeadPlace {
    std::array<int, 4> positionByte;
    std::array<int, 4> positionChannel;
    int dimmerByte, dimmerChannel;
};
const HeadPlace kHeads[kHeadCount] = {
    {{0, 1, 13, 14}, {70, 71, 83, 84}, 3, 73},    {{0, 1, 2, 3}, {99, 100, 101, 102}, 6, 105},
    {{0, 1, 2, 3}, {113, 114, 115, 116}, 6, 119}, {{0, 1, 2, 3}, {127, 128, 129, 130}, 6, 133},
    {{0, 1, 2, 3}, {141, 142, 143, 144}, 6, 147},
};

// Positions 10-13 live, 20-23 in the current step, 30-33 in the next step.
void placeHead(StepRecord& r, int head, int position, int dimmer) {
    const HeadPlace& p = kHeads[head];
    for (int k = 0; k < 4; ++k)
        r.head[head].channel[p.positionByte[k]] = uint8_t(position + k);
    r.head[head].channel[p.dimmerByte] = uint8_t(dimmer);
}

Universe expectHead(Universe base, int head, int position, int dimmer) {
    const HeadPlace& p = kHeads[head];
    for (int k = 0; k < 4; ++k)
        base[p.positionChannel[k] - 1] = uint8_t(position + k);
    base[p.dimmerChannel - 1] = uint8_t(dimmer);
    return base;
}

TEST(ComposerHeads, PrePositioningInAllFourCombinations) {
    struct Case {
        int currentDimmer, nextDimmer, sentPosition;
    } cases[] = {
        {0, 0, 10},   // dark to dark: live
        {0, 99, 30},  // lights up: already at the next position
        {99, 0, 20},  // goes dark: holds the current position
        {99, 99, 10}, // lit to lit: live
    };
    for (int head = 0; head < kHeadCount; ++head) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::Message() << "head " << head + 1 << " current "
                                              << c.currentDimmer << " next " << c.nextDimmer);
            StepRecord live, current, next;
            live.master = 255;
            placeHead(live, head, 10, 200);
            placeHead(current, head, 20, c.currentDimmer);
            placeHead(next, head, 30, c.nextDimmer);
            Universe u{};
            Composer().Compose(live, u, &next, &current, 0, ComposerOptions{});
            EXPECT_TRUE(sameFrame(u, expectHead(withRuns(spotsOnly(), {{413, {255, 255}}}), head,
                                                c.sentPosition, 200)));
        }
    }
}

TEST(ComposerHeads, PrePositioningNeedsBothStepsAndTheSwitch) {
    StepRecord live, current, next;
    live.master = 255;
    placeHead(live, 0, 10, 200);
    placeHead(current, 0, 20, 99); // head 1 goes dark
    placeHead(next, 0, 30, 0);
    placeHead(live, 2, 10, 200);
    placeHead(current, 2, 20, 0); // head 3 lights up
    placeHead(next, 2, 30, 99);
    ComposerOptions off;
    off.disableAntiCrazy = true;
    struct Case {
        const StepRecord* next;
        const StepRecord* current;
        ComposerOptions options;
        int head1, head3;
    } cases[] = {
        {&next, &current, {}, 20, 30},
        {&next, &current, off, 10, 10},
        {&next, nullptr, {}, 10, 10},
        {nullptr, &current, {}, 10, 10},
    };
    for (const Case& c : cases) {
        Universe u{};
        Composer().Compose(live, u, c.next, c.current, 0, c.options);
        EXPECT_EQ(u[70 - 1], c.head1);
        EXPECT_EQ(u[83 - 1], c.head1 + 2);
        EXPECT_EQ(u[113 - 1], c.head3);
        EXPECT_EQ(u[116 - 1], c.head3 + 3);
    }
}

TEST(ComposerHeads, DarkHeadsParkOnlyOnHeadsTwoToFive) {
    struct Case {
        int master, dimmer, shutter;
        bool disabled, parks;
    } cases[] = {
        {0, 0, 255, false, true},    {0, 255, 0, false, true}, {0, 0, 0, false, true},
        {0, 255, 255, false, false}, {1, 0, 0, false, false},  {0, 0, 0, true, false},
    };
    for (const Case& c : cases) {
        for (int head = 0; head < kHeadCount; ++head) {
            SCOPED_TRACE(::testing::Message()
                         << "head " << head + 1 << " master " << c.master << " dimmer " << c.dimmer
                         << " shutter " << c.shutter << " disabled " << c.disabled);
            StepRecord live;
            live.master = c.master;
            placeHead(live, head, 10, c.dimmer);
            live.head[head].channel[5] = uint8_t(c.shutter);
            ComposerOptions o;
            o.disableFalseBlack = c.disabled;
            Universe u{};
            Composer().Compose(live, u, nullptr, nullptr, 0, o);
            const HeadPlace& p = kHeads[head];
            const bool parks = c.parks && head > 0;
            const std::array<int, 4> want =
                parks ? std::array<int, 4>{82, 8, 101, 144} : std::array<int, 4>{10, 11, 12, 13};
            for (int k = 0; k < 4; ++k)
                EXPECT_EQ(u[p.positionChannel[k] - 1], want[k]) << k;
        }
    }
}

TEST(ComposerHeads, ParkingWinsOverPrePositioning) {
    StepRecord live, current, next;
    live.master = 0;
    placeHead(live, 2, 10, 0);
    placeHead(current, 2, 20, 99); // head 3 goes dark: would hold 20-23
    placeHead(next, 2, 30, 0);
    for (bool disabled : {false, true}) {
        ComposerOptions o;
        o.disableFalseBlack = disabled;
        Universe u{};
        Composer().Compose(live, u, &next, &current, 0, o);
        const std::vector<int> want =
            disabled ? std::vector<int>{20, 21, 22, 23} : std::vector<int>{82, 8, 101, 144};
        EXPECT_EQ(std::vector<int>(&u[113 - 1], &u[117 - 1]), want) << disabled;
    }
}

} // namespace
} // namespace orvane
