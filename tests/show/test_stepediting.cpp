// Insert, delete and duplicate at the current step: which steps move where,
// what is committed and shown, and the progress text.

#include "show/stepediting.h"
#include "support/scriptedprompts.h"
#include "support/showsnapshot.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

struct EditFixture : ::testing::Test {
    test::TempDir dir;
    ProfileFiles profiles;
    ShowStore store{profiles};
    test::ScriptedPrompts prompts;
    std::vector<std::string> events, status;
    std::vector<StepRecord> before;

    void SetUp() override {
        store.setShowFilePath(dir.file("dmx.ini"));
        for (int s = 0; s < kStepCount; ++s) {
            StepRecord r; // every step told apart in its light and its texts
            r.master = s % 256;
            r.fader[3] = s % 200;
            r.name = "step " + std::to_string(s);
            store.SaveStep(s, r);
        }
        before = snapshot();
    }
    std::vector<StepRecord> snapshot() { return orvane::test::snapshotSteps(store); }
    StepEditContext context(int current) {
        auto log = [this](const char* e) { return [this, e] { events.push_back(e); }; };
        return StepEditContext{
            .store = store,
            .prompts = prompts,
            .current = current,
            .title = "orvane",
            .commit = log("commit"),
            .show = [this](bool light) { events.push_back(light ? "show light" : "show"); },
            .status = [this](std::string_view t) { status.emplace_back(t); },
            .busyCursor = [this](bool busy) { events.push_back(busy ? "hourglass" : "arrow"); },
            .rebuildSoundList = log("sounds"),
        };
    }
};

using Texts = std::vector<std::string>;
const Texts kMoved = {"hourglass", "commit", "show", "sounds", "arrow"};

Texts counting(unsigned last, unsigned total) {
    Texts t;
    for (unsigned i = 1; i <= last; ++i)
        t.push_back(std::to_string(i) + "/" + std::to_string(total));
    t.push_back("");
    return t;
}

TEST_F(EditFixture, StepsMoveAsEachOperationSays) {
    enum Op { Insert, Delete, Duplicate };
    struct Case {
        const char* what;
        Op op;
        int current;
        bool confirm;
        int (*formerOf)(int step); // the step whose content a step holds afterwards
        Texts events, status;
    };
    auto same = [](int s) { return s; };
    const Case cases[] = {
        {"insert at 10", Insert, 10, true, [](int s) { return s <= 10 ? s : s - 1; }, kMoved,
         counting(489, 490)},
        {"delete at 10",
         Delete,
         10,
         true,
         [](int s) { return s < 10 ? s : std::min(s + 1, 499); },
         kMoved,
         {}},
        {"delete answered No", Delete, 10, false, same, {}, {}},
        {"duplicate at 20",
         Duplicate,
         20,
         true,
         [](int s) { return s == 21 ? 20 : s; },
         {"commit", "show"},
         {}},
        {"insert at 499", Insert, 499, true, same, kMoved, {""}},
        {"delete at 499", Delete, 499, true, same, kMoved, {}},
        {"duplicate at 499", Duplicate, 499, true, same, {"commit", "show"}, {}},
        {"insert outside the show", Insert, -1, true, same, {}, {}},
        {"delete outside the show", Delete, 500, true, same, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        status.clear();
        prompts.yesNo = {c.confirm};
        StepEditContext ctx = context(c.current);
        if (c.op == Insert)
            InsertStep(ctx);
        else if (c.op == Delete)
            EXPECT_EQ(DeleteStep(ctx), c.confirm && c.current < kStepCount);
        else
            DuplicateStep(ctx);
        std::vector<StepRecord> after = snapshot();
        for (int s = 0; s < kStepCount; ++s)
            ASSERT_EQ(after[s], before[c.formerOf(s)]) << "step " << s;
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(status, c.status);
        SetUp();
    }
    EXPECT_EQ(prompts.shown.at(0).text, "Do you really want to do this?");
}

TEST_F(EditFixture, WhatIsCommittedBeforeTheMoveTravelsWithItsStep) {
    StepEditContext ctx = context(10);
    ctx.commit = [this] { // the next-step panel's values stored into step 11
        StepRecord next = before[11];
        next.master = 77;
        store.SaveStep(11, next);
    };
    InsertStep(ctx);
    std::vector<StepRecord> after = snapshot();
    EXPECT_EQ(after[12].master, 77);
    EXPECT_EQ(after[12].name, "step 11");
    EXPECT_EQ(after[11], before[10]);
}

} // namespace
