// What the timeline shows of each step, cached per step: it follows every
// change of the step in the store and composes nothing that did not change.

#include "panels/steppreviews.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace orvane;

namespace {

struct PreviewFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    ComposerOptions options;
    StepPreviews previews{store, &options};

    StepRecord lit(int level) {
        StepRecord r;
        r.master = 255;
        r.fader[0] = level; // channel 1: the stage floor
        r.name = "Wash\\nblue";
        return r;
    }
};

TEST_F(PreviewFixture, ComposesTheStepAloneAndKeepsItsTexts) {
    StepRecord r = lit(200);
    r.playatbegin = 1;
    r.soundnameatbegin = "intro";
    r.autofade = 1;
    r.fadet = 2.5;
    store.SaveStep(12, r);
    store.SaveStep(13, lit(50)); // a neighbour changes nothing here
    const StepPreview& p = previews.get(12);
    EXPECT_TRUE(p.hasData);
    EXPECT_EQ(p.frame[0], 200);
    EXPECT_EQ(p.name, "Wash\nblue");
    EXPECT_EQ(p.soundName, "intro");
    EXPECT_TRUE(p.playAtBegin);
    EXPECT_TRUE(p.autoFade);
    EXPECT_DOUBLE_EQ(p.fadeSeconds, 2.5);
    // The composer's own result for the step with no neighbour and no fade.
    Universe expected{};
    Composer().Compose(r, expected, nullptr, nullptr, 0, options);
    EXPECT_EQ(p.frame, expected);
}

TEST_F(PreviewFixture, FollowsAnEditOfItsStepAndOnlyThen) {
    store.SaveStep(3, lit(10));
    store.SaveStep(4, lit(20));
    EXPECT_EQ(previews.get(3).frame[0], 10);
    EXPECT_EQ(previews.get(4).frame[0], 20);
    uint64_t loads = previews.loads();
    for (int i = 0; i < 10; ++i) {
        previews.get(3);
        previews.get(4);
    }
    EXPECT_EQ(previews.loads(), loads) << "repaints of unchanged steps compose nothing";
    store.SaveStep(3, lit(11));
    previews.get(4);
    EXPECT_EQ(previews.loads(), loads) << "step 4 did not change";

    struct Edit {
        const char* how;
        std::function<void()> write;
        uint8_t channel1;
    } edits[] = {
        {"SaveStep", [&] { store.SaveStep(3, lit(30)); }, 30},
        {"WriteStoreValue", [&] { store.WriteStoreValue("3", "1", "40", ""); }, 40},
        {"a new show table", [&] { store.table().clear(); }, 0},
    };
    for (const Edit& e : edits) {
        uint64_t stamp = previews.get(3).stamp;
        e.write();
        EXPECT_EQ(previews.get(3).frame[0], e.channel1) << e.how;
        EXPECT_NE(previews.get(3).stamp, stamp) << e.how;
    }
}

TEST_F(PreviewFixture, ASwitchChangeRecomposesEveryStep) {
    StepRecord r = lit(10);
    store.SaveStep(1, r);
    EXPECT_EQ(previews.get(1).frame[422], 0); // channel 423
    options.mh1 = true;
    EXPECT_EQ(previews.get(1).frame[422], 255);
}

TEST_F(PreviewFixture, AStepWithoutEntriesHasNoData) {
    EXPECT_FALSE(previews.get(30).hasData);
    store.SaveStep(30, StepRecord{});
    EXPECT_TRUE(previews.get(30).hasData) << "a saved dark step is a step";
    EXPECT_FALSE(previews.get(-1).hasData);
    EXPECT_FALSE(previews.get(500).hasData);
}

TEST(FadeTimeText, TwoDecimalsWithAPointInEveryLocale) {
    const char* locales[] = {"C", "fr_FR.UTF-8", "de_DE.UTF-8"};
    for (const char* l : locales) {
        if (!std::setlocale(LC_ALL, l))
            continue;
        EXPECT_EQ(fadeTimeText(2.5), "2.50 sec") << l;
        EXPECT_EQ(fadeTimeText(0.125), "0.12 sec") << l; // an exact tie goes to even, as printf
        EXPECT_EQ(fadeTimeText(1234.567), "1234.57 sec") << l;
        EXPECT_EQ(fadeTimeText(-1), "-1.00 sec") << l;
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(fadeTimeText(1e300).size(), 301u + 3 + 4);
}

} // namespace
