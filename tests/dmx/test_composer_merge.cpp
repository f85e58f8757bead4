// Manual mode: 24 predefined looks mixed by their levels into channels 1-198.

#include "dmx/composer.h"
#include "test_composer_frames.h"

#include <gtest/gtest.h>

#include <map>

namespace orvane {
namespace {

using testing::frameOf;
using testing::sameFrame;
using testing::withRuns;

struct Manual {
    std::array<StepRecord, kPredefinedCount> records;
    std::array<uint8_t, kPredefinedCount> levels{};
    PredefinedUniverses predefined{};
    Manual() {
        for (StepRecord& r : records)
            r.master = 255;
    }
    Universe merge(Universe staging) {
        Composer().mergePredefined(records, levels, predefined, staging, ComposerOptions{});
        return staging;
    }
};

TEST(ComposerMerge, MixesByLevelTopEntryAndWashLeaders) {
    Manual m;
    m.levels[3] = 200;
    m.levels[7] = 200; // ties entry 3 for the top: 3 wins
    m.levels[10] = 100;

    StepRecord& r0 = m.records[0]; // level 0
    r0.colour[4] = makeColour(77, 0, 0);
    r0.fader[21 - 1] = 255;

    StepRecord& r3 = m.records[3];
    r3.fader[1 - 1] = 255;
    r3.colour[0] = makeColour(200, 100, 50);
    r3.fader[17 - 1] = 255;
    r3.colour[3] = makeColour(100, 0, 0); // 200 x 100 ties entry 10's 100 x 200
    r3.fader[20 - 1] = 255;
    r3.colour[8] = makeColour(51, 0, 0);
    r3.fader[24 - 1] = 255;
    r3.scanner[0].channel = {1, 2, 3, 4, 5, 6, 7};
    r3.scanner[1].channel = {11, 12, 13, 14, 0, 0, 0};
    r3.scanner[2].channel = {15, 16, 17, 18, 0, 0, 0};
    for (int k = 0; k < 16; ++k)
        r3.head[0].channel[k] = uint8_t(70 + k);
    r3.head[1].channel[0] = 99;
    r3.head[4].channel[13] = 154;

    StepRecord& r7 = m.records[7];
    r7.fader[1 - 1] = 255;
    r7.colour[2] = makeColour(250, 10, 20);
    r7.fader[19 - 1] = 255;
    r7.colour[6] = makeColour(255, 0, 128);
    r7.fader[23 - 1] = 255;
    r7.scanner[0].channel.fill(9);
    r7.head[0].channel.fill(9);

    StepRecord& r10 = m.records[10];
    r10.fader[1 - 1] = 255;
    r10.fader[2 - 1] = 255;
    r10.check[5 - 1] = 1;
    r10.colour[0] = makeColour(0, 255, 0);
    r10.fader[17 - 1] = 255;
    r10.colour[2] = makeColour(255, 255, 255);
    r10.fader[19 - 1] = 255;
    r10.colour[3] = makeColour(200, 0, 0);
    r10.fader[20 - 1] = 255;
    r10.colour[8] = makeColour(255, 255, 255);
    r10.fader[24 - 1] = 255;

    m.records[12].colour[4] = makeColour(255, 0, 0); // level 0
    m.records[12].fader[21 - 1] = 255;

    Universe before;
    before.fill(0x55);
    Universe want = withRuns(before, {{1, std::vector<int>(198, 0)}});
    want =
        withRuns(want, {
                           {1, {200, 100}},
                           {24, {100}},
                           {28, {1, 2, 3, 4, 5, 6, 7}},
                           {35, {156, 100, 39, 39}},
                           {43, {196, 7, 15, 100}}, // leader 7 at its level; white from 10
                           {47, {78}},              // tie: entry 3 at its level
                                                    // 51: every product 0, dark
                           {59, {11, 12, 13, 14, 15, 16, 17, 18}},
                           {67, {200, 0, 100}},
                           {70, {70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85}},
                           {86, {100, 100, 100}},
                           {99, {99}},
                           {154, {154}},
                       });
    EXPECT_TRUE(sameFrame(m.merge(before), want));
}

TEST(ComposerMerge, TiesGoToTheLowestIndex) {
    // Entry j shows j + 1 on scanner channel 28 and a chosen red on wash channel 43.
    struct Case {
        std::map<int, int> levels, reds;
        int want28, want43;
    } cases[] = {
        {{}, {{0, 9}, {6, 200}}, 1, 0}, // all down: dark, whatever entry 0 holds
        {{{5, 10}, {9, 10}}, {}, 6, 0},
        {{{23, 255}}, {{23, 1}}, 24, 1},
        {{{0, 3}, {1, 4}, {2, 4}}, {}, 2, 0},
        {{{2, 100}, {4, 50}}, {{2, 50}, {4, 100}}, 3, 19}, // tie: entry 2, 100 x 50 / 255
        {{{2, 100}, {4, 50}}, {{2, 50}, {4, 102}}, 3, 20}, // entry 4, 50 x 102 / 255
        {{{1, 255}}, {{0, 9}, {1, 0}, {3, 200}}, 2, 0},    // full but black does not lead
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want28);
        Manual m;
        for (int j = 0; j < kPredefinedCount; ++j) {
            m.records[j].scanner[0].channel[0] = uint8_t(j + 1);
            m.records[j].fader[19 - 1] = 255;
        }
        for (auto [j, level] : c.levels)
            m.levels[j] = uint8_t(level);
        for (auto [j, red] : c.reds)
            m.records[j].colour[2] = makeColour(uint8_t(red), 0, 0);
        const Universe u = m.merge(Universe{});
        EXPECT_EQ(u[28 - 1], c.want28);
        EXPECT_EQ(u[43 - 1], c.want43);
    }
}

TEST(ComposerMerge, BytesOutsideTheFixedLayoutCarryOver) {
    // Composing without a next step leaves the rest of a predefined universe as it was.
    Manual m;
    m.levels[5] = 255;
    m.predefined[5].fill(119);
    const Universe want = frameOf({{17, {119, 119, 119}},
                                   {39, {119, 119, 119, 119}},
                                   {55, {119, 119, 119, 119}},
                                   {89, std::vector<int>(10, 119)}});
    EXPECT_TRUE(sameFrame(m.merge(Universe{}), want));
}

TEST(ComposerMerge, WashesFollowTheirLeadingLookWhole) {
    // Entry 2 and entry 4 each light wash 3 (colour 5 at level 21, channels 51-54).
    struct Case {
        uint32_t colour2, colour4;
        int level2, level4;
        std::vector<int> want; // channels 51-54
    } cases[] = {
        // A blue look leads over a dimmer red one and keeps its own colour.
        {makeColour(0, 0, 200), makeColour(150, 0, 0), 255, 255, {0, 0, 200, 0}},
        // Its fader scales the whole wash.
        {makeColour(0, 0, 200), makeColour(150, 0, 0), 128, 0, {0, 0, 100, 0}},
        // Highest level x strongest channel leads: 100 x 250 beats 200 x 120.
        {makeColour(10, 250, 40), makeColour(120, 60, 0), 100, 200, {3, 98, 15, 3}},
        {makeColour(10, 250, 40), makeColour(120, 60, 0), 90, 200, {94, 47, 0, 3}},
        // The white channels stay the highest scaled white of all looks.
        {makeColour(255, 255, 255), makeColour(255, 0, 0), 100, 255, {255, 0, 0, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level2 * 1000 + c.level4);
        Manual m;
        m.records[2].colour[4] = c.colour2;
        m.records[4].colour[4] = c.colour4;
        m.records[2].fader[21 - 1] = 255;
        m.records[4].fader[21 - 1] = 255;
        m.levels[2] = uint8_t(c.level2);
        m.levels[4] = uint8_t(c.level4);
        const Universe u = m.merge(Universe{});
        EXPECT_EQ((std::vector<int>{u[50], u[51], u[52], u[53]}), c.want);
    }
}

TEST(ComposerMerge, AllFadersDownLeaveTheMixedChannelsDark) {
    // Every look lit; only the fixture channels follow the top entry (entry 0).
    Manual m;
    for (StepRecord& r : m.records) {
        r.fader.fill(255);
        r.check.fill(1);
        r.colour.fill(makeColour(200, 150, 100));
        r.scanner[0].channel[0] = 42;
    }
    const Universe u = m.merge(Universe{});
    for (int channel = 1; channel <= 198; ++channel) {
        if (channel != 28) {
            EXPECT_EQ(u[size_t(channel - 1)], 0) << "channel " << channel;
        }
    }
    EXPECT_EQ(u[28 - 1], 42);
}

} // namespace
} // namespace orvane
