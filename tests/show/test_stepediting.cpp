// Insert, delete and duplicate at the current step: which steps move where,
// what is committed and shown, and the progress text.

#include "show/stepediting.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

// Content that tells every step apart, in the light part and in the rest.
StepRecord stepContent(int step) {
    StepRecord r;
    r.master = step % 256;
    r.fader[3] = (step * 7) % 256;
    r.lamp[0].colour = uint32_t(step) * 1000u;
    r.colour[12] = makeColour(uint8_t(step), 1, 2);
    r.check[5] = step % 2;
    r.name = "step " + std::to_string(step);
    r.extra = "EXEC=echo " + std::to_string(step);
    r.gotostep = step;
    return r;
}

struct EditFixture : ::testing::Test {
    test::TempDir dir;
    ProfileFiles profiles;
    ShowStore store{profiles};
    test::ScriptedPrompts prompts;
    std::vector<std::string> events;
    std::vector<std::string> statusTexts;
    std::vector<StepRecord> before;

    void SetUp() override {
        store.setShowFilePath(dir.file("dmx.ini"));
        for (int s = 0; s < kStepCount; ++s)
            store.SaveStep(s, stepContent(s));
        before = snapshot();
    }
    StepRecord load(int step) {
        StepRecord r;
        store.LoadStep(step, r);
        return r;
    }
    std::vector<StepRecord> snapshot() {
        std::vector<StepRecord> all;
        for (int s = 0; s < kStepCount; ++s)
            all.push_back(load(s));
        return all;
    }
    StepEditContext context(int current) {
        return StepEditContext{
            .store = store,
            .prompts = prompts,
            .current = current,
            .title = "orvane",
            .commit = [this] { events.push_back("commit"); },
            .show = [this](bool lightOnly) { events.push_back(lightOnly ? "show light" : "show"); },
            .status = [this](std::string_view t) { statusTexts.emplace_back(t); },
            .busyCursor = [this](bool busy) { events.push_back(busy ? "hourglass" : "arrow"); },
            .rebuildSoundList = [this] { events.push_back("sounds"); },
        };
    }
    // Step s now holds what step from held before the operation.
    void expectMoved(int s, int from) {
        EXPECT_EQ(load(s), before[from]) << "step " << s << " should hold former step " << from;
    }
};

using Events = std::vector<std::string>;

TEST_F(EditFixture, InsertMovesTheStepsAfterTheCurrentOneUp) {
    StepEditContext ctx = context(10);
    InsertStep(ctx);
    for (int s = 0; s <= 10; ++s)
        expectMoved(s, s);
    for (int s = 11; s < kStepCount; ++s)
        expectMoved(s, s - 1); // 11 = 10, ..., 499 = 498: the former 499 is gone
    ASSERT_EQ(statusTexts.size(), 490u);
    for (unsigned i = 0; i < 489; ++i)
        EXPECT_EQ(statusTexts[i], std::to_string(i + 1) + "/490");
    EXPECT_EQ(statusTexts.back(), "");
    EXPECT_EQ(events, (Events{"hourglass", "commit", "show", "sounds", "arrow"}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(EditFixture, DeleteMovesTheLaterStepsDownOverTheCurrentOne) {
    prompts.yesNo = {true};
    StepEditContext ctx = context(10);
    EXPECT_TRUE(DeleteStep(ctx));
    for (int s = 0; s < 10; ++s)
        expectMoved(s, s);
    for (int s = 10; s < kStepCount - 1; ++s)
        expectMoved(s, s + 1);
    expectMoved(499, 499); // so 498 and 499 end up equal
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Voulez-vous vraiment faire ceci ?");
    EXPECT_EQ(events, (Events{"hourglass", "commit", "show", "sounds", "arrow"}));
    EXPECT_TRUE(statusTexts.empty());
}

TEST_F(EditFixture, DeleteAnsweredNoChangesAndCommitsNothing) {
    prompts.yesNo = {false};
    StepEditContext ctx = context(10);
    EXPECT_FALSE(DeleteStep(ctx));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(EditFixture, AtTheLastStepNothingMovesButTheStepIsCommittedAndShown) {
    struct Case {
        const char* what;
        std::function<void(StepEditContext&)> run;
        Events events;
        std::vector<std::string> status;
    };
    const Case cases[] = {
        {"insert",
         [](StepEditContext& c) { InsertStep(c); },
         {"hourglass", "commit", "show", "sounds", "arrow"},
         {""}},
        {"delete",
         [](StepEditContext& c) { DeleteStep(c); },
         {"hourglass", "commit", "show", "sounds", "arrow"},
         {}},
        {"duplicate", [](StepEditContext& c) { DuplicateStep(c); }, {"commit", "show"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        statusTexts.clear();
        prompts.yesNo = {true};
        StepEditContext ctx = context(499);
        c.run(ctx);
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(statusTexts, c.status);
    }
}

TEST_F(EditFixture, DuplicateOverwritesOnlyTheNextStep) {
    StepEditContext ctx = context(20);
    DuplicateStep(ctx);
    for (int s = 0; s < kStepCount; ++s)
        expectMoved(s, s == 21 ? 20 : s);
    EXPECT_EQ(events, (Events{"commit", "show"}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(EditFixture, TheCommitHappensBeforeAnyMove) {
    // What the console and the next-step panel hold travels with its step.
    StepEditContext ctx = context(10);
    ctx.commit = [this] {
        StepRecord next = load(11);
        next.master = 77;
        next.name = "panel";
        store.SaveStep(11, next);
    };
    InsertStep(ctx);
    EXPECT_EQ(load(12).master, 77);
    EXPECT_EQ(load(12).name, "panel");
    EXPECT_EQ(load(11), before[10]);
}

TEST_F(EditFixture, ACurrentStepOutsideTheShowIsIgnored) {
    for (int current : {-1, 500, 100000}) {
        SCOPED_TRACE(current);
        prompts.yesNo = {true};
        StepEditContext ctx = context(current);
        InsertStep(ctx);
        EXPECT_FALSE(DeleteStep(ctx));
        DuplicateStep(ctx);
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(events.empty());
    }
}

TEST_F(EditFixture, TheSharedShutterFlagsStayWhereTheyAre) {
    StepRecord r = load(0);
    r.check = {1, 0, 1, 1, 0, 0, 0, 0};
    store.SaveStep(0, r);
    StepEditContext ctx = context(0);
    InsertStep(ctx);
    prompts.yesNo = {true};
    DeleteStep(ctx);
    EXPECT_EQ(store.ReadStoreInt("0", "check1", -1, {}), 1);
    EXPECT_EQ(store.ReadStoreInt("0", "check2", -1, {}), 0);
    EXPECT_EQ(store.ReadStoreInt("0", "check4", -1, {}), 1);
}

} // namespace
