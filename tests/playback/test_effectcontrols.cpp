// The step-editing and effect controls of the main window, driven by control
// id against the real control table, with prompts answered by script.

#include "console/consoletable.h"
#include "playback/effectcontrols.h"
#include "show/effectfile.h"
#include "support/scriptedprompts.h"
#include "support/showsnapshot.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvane;

namespace {

// Content that survives the console both ways: two-decimal times, a palette
// index in colour 6, no hot key, no step sound.
StepRecord stepContent(int step, const std::string& name = "step") {
    StepRecord r;
    r.master = step % 200 + 1;
    r.fader[5] = step % 256;
    r.lamp[1] = {uint32_t(step) * 5u, 1, uint8_t(step), 3, 4};
    r.colour[5] = uint32_t(step % 33);
    r.check = {0, 0, 0, 0, step % 2, 0, 1, 0};
    r.name = name + " " + std::to_string(step);
    r.fadet = 2.5;
    r.gotostep = step;
    return r;
}

struct EffectControlsFixture : ::testing::Test {
    test::TempDir dir;
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    test::ScriptedPrompts prompts;
    ListModel effectList;
    std::vector<std::string> hookCalls;
    EffectControls effects{controls, session, prompts, effectList};
    StepControls steps{
        controls, session, prompts,
        EditHooks{
            .busyCursor = [this](bool busy) { hookCalls.push_back(busy ? "hourglass" : "arrow"); },
            .rebuildSoundList = [this] { hookCalls.push_back("sounds"); },
        }};
    std::vector<StepRecord> before;

    void SetUp() override {
        populateConsole(controls);
        std::filesystem::create_directories(dir.file("show"));
        session.open(dir.path(), "show");
        for (int s = 0; s < kStepCount; ++s)
            session.store().SaveStep(s, stepContent(s));
        effects.bind();
        steps.bind();
        goTo(30);
    }
    // Shows the step and stores what the console makes of it, so that later
    // commits change nothing by themselves.
    void goTo(int step) {
        session.setCurrentStep(step);
        session.ShowCurrentStep(false);
        session.CommitCurrentStep();
        before = snapshot();
    }
    std::vector<StepRecord> snapshot() { return orvane::test::snapshotSteps(session.store()); }
    std::string inShow(const std::string& name) { return dir.file("show/" + name); }
    void makeEffect(const std::string& path, const std::vector<StepRecord>& steps) {
        ShowStore scratch(profiles);
        scratch.setShowFilePath(dir.file("scratch.ini"));
        for (size_t i = 0; i < steps.size(); ++i)
            scratch.SaveStep(int(i), steps[i]);
        ASSERT_TRUE(writeEffectFile(scratch, path, 0, uint32_t(steps.size())));
    }
    // Picking an item of the box, as the combo box binding does.
    void pick(const std::string& text) {
        controls.setText(1340, text);
        effectList.select(effectList.find(text, false));
        controls.raise(ControlEvent::SelectionChanged, 1340);
    }
    // The light of one record with everything else of another.
    static StepRecord lightOver(StepRecord light, const StepRecord& rest) {
        light.name = rest.name;
        light.fadet = rest.fadet;
        light.gotostep = rest.gotostep;
        light.ple = rest.ple;
        return light;
    }
};

TEST_F(EffectControlsFixture, TheEditButtonsActOnTheCurrentStep) {
    std::vector<std::string> info;
    controls.observe([&](int id, ControlField f) {
        if (id == 1002 && f == ControlField::Text)
            info.push_back(controls.text(1002));
    });
    controls.setPos(1005, 255 - 123); // an edit the refused delete must not commit
    prompts.yesNo = {false};
    controls.click(1043);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(prompts.shown.at(0).text, "Do you really want to do this?");
    controls.setPos(1005, 255 - before[30].master);

    controls.click(1042);
    EXPECT_EQ(snapshot()[31], before[30]);
    EXPECT_EQ(info.size(), 470u);
    EXPECT_EQ(info.front(), "1/470");
    EXPECT_EQ(controls.text(1002), "");
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"hourglass", "sounds", "arrow"}));
    controls.click(1126);
    EXPECT_EQ(snapshot()[31], before[30]);
    prompts.yesNo = {true};
    controls.click(1043);
    EXPECT_EQ(snapshot()[30], before[30]); // the inserted copy went again
    EXPECT_EQ(session.currentStep(), 30);
}

TEST_F(EffectControlsFixture, TheListHoldsShowFilesThenGlobalOnesSortedAndKeepsTheText) {
    for (const char* name : {"show/b.efe", "show/A.EFE", "show/notes.txt", "chase.efe", "Z.Efe"})
        test::writeFile(dir.file(name), "");
    std::filesystem::create_directory(dir.file("show/folder.efe"));
    effectList.add("stale");
    controls.setText(1340, "typed*");
    controls.click(1375);
    std::vector<std::string> items;
    for (int i = 0; i < effectList.count(); ++i)
        items.push_back(effectList.item(i).text);
    EXPECT_EQ(items,
              (std::vector<std::string>{"A.EFE", "b.efe", "chase.efe (GLOBAL)", "Z.Efe (GLOBAL)"}));
    EXPECT_EQ(controls.text(1340), "typed*");
}

TEST_F(EffectControlsFixture, AGlobalItemIsAppliedLightOnlyATypedStarNameInFull) {
    std::vector<StepRecord> global = {stepContent(200, "global"), stepContent(201, "global")};
    std::vector<StepRecord> local = {stepContent(300, "local"), stepContent(301, "local")};
    makeEffect(dir.file("chase.efe"), global);
    makeEffect(inShow("chase.efe"), local);
    effects.FillEffectList();

    pick("chase.efe (GLOBAL)");
    std::vector<StepRecord> after = snapshot();
    EXPECT_EQ(after[30], lightOver(global[0], before[30]));
    EXPECT_EQ(after[31], lightOver(global[1], before[31]));
    EXPECT_EQ(after[32], before[32]);
    EXPECT_EQ(controls.pos(1005), 255 - global[0].master); // the light is on the console
    EXPECT_EQ(controls.text(1052), "step 30");             // the texts are not

    controls.setText(1340, "chase.efe*"); // typing replaces the selection
    controls.click(1379);
    after = snapshot();
    EXPECT_EQ(after[30], local[0]);
    EXPECT_EQ(after[31], local[1]);
    EXPECT_EQ(controls.text(1052), "local 300");
}

TEST_F(EffectControlsFixture, TypedNamesAreFoundInAnyCaseAndMissingOnesIgnored) {
    StepRecord fx = stepContent(300, "fx");
    struct Case {
        const char* typed;
        bool applied, full;
    };
    const Case cases[] = {
        {"chase.efe", true, false},
        {".\\CHASE.EFE*", true, true},
        {"missing.efe*", false, false},
        {"*", false, false},
        {"", false, false},
        {"Chase.EFE (GLOBAL)", false, false}, // not in the root
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        makeEffect(inShow("Chase.EFE"), {fx});
        controls.setText(1340, c.typed);
        controls.click(1379);
        StepRecord want = !c.applied ? before[30] : c.full ? fx : lightOver(fx, before[30]);
        EXPECT_EQ(snapshot()[30], want);
        SetUp();
    }
}

// A step change as activation makes it: store the console, show the new step.
static void leaveFor(ShowSession& session, int step) {
    session.CommitCurrentStep();
    session.setCurrentStep(step);
    session.ShowCurrentStep(false);
}

TEST_F(EffectControlsFixture, TheBoxTextIsTheStepsPle) {
    auto leaveFor = [this](int step) { ::leaveFor(session, step); };
    makeEffect(dir.file("chase.efe"), {stepContent(200, "global")});
    makeEffect(inShow("other.efe"), {stepContent(111, "other")});
    effects.FillEffectList();
    pick("chase.efe (GLOBAL)");
    leaveFor(40); // leaving the step stores the box's text with it
    EXPECT_EQ(snapshot()[30].ple, "chase.efe (GLOBAL)");

    StepRecord r = snapshot()[41];
    r.ple = "other.efe";
    session.store().SaveStep(41, r);
    leaveFor(41); // showing a step puts its "ple" in the box ...
    EXPECT_EQ(controls.text(1340), "other.efe");
    EXPECT_EQ(snapshot()[41].master, r.master); // ... without applying it
    controls.click(1379);                       // "refresh" applies what the box names
    EXPECT_EQ(snapshot()[41].master, stepContent(111).master);
    EXPECT_EQ(snapshot()[41].name, "step 41");
}

TEST_F(EffectControlsFixture, LoadOnlyLightStoresNothingUntilTheNextCommit) {
    std::vector<StepRecord> steps = {stepContent(100, "fx"), stepContent(101, "fx")};
    makeEffect(inShow("two.efe"), steps);
    prompts.files = {inShow("two.efe")};
    controls.click(1119);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(controls.pos(1005), 255 - steps[0].master);
    EXPECT_EQ(prompts.shown.at(0).title, "Load an effect");
    EXPECT_EQ(prompts.shown.at(0).text, "Effect file (*.EFE)");
    session.CommitCurrentStep();
    EXPECT_EQ(snapshot()[30], lightOver(steps[0], before[30]));
    EXPECT_EQ(snapshot()[31], before[31]);

    makeEffect(inShow("none.efe"), {}); // no first step: the console stays
    prompts.files = {inShow("none.efe")};
    controls.click(1119);
    EXPECT_EQ(controls.pos(1005), 255 - steps[0].master);
}

TEST_F(EffectControlsFixture, LoadEffectLaysTheFileInFullWithoutCommittingFirst) {
    std::vector<StepRecord> steps;
    for (int i = 0; i < 5; ++i)
        steps.push_back(stepContent(100 + i, "fx"));
    makeEffect(inShow("five.efe"), steps);
    goTo(497);
    controls.setPos(1005, 255 - 9); // not committed, so replaced
    prompts.files = {inShow("five.efe")};
    controls.click(1099);
    std::vector<StepRecord> after = snapshot();
    for (int s = 0; s < kStepCount; ++s)
        EXPECT_EQ(after[s], s >= 497 ? steps[s - 497] : before[s]) << s;
    EXPECT_EQ(controls.text(1052), "fx 100");
}

TEST_F(EffectControlsFixture, SaveEffectAsksForAFileAndACount) {
    struct Case {
        const char* what;
        std::optional<std::string> file;
        std::vector<std::optional<std::string>> counts;
        const char* written; // nullptr when nothing is written (and nothing committed)
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"bad counts first",
         "a.EFE",
         {"abc", " -2", "501", "12x", " 2 "},
         "a.EFE",
         {"Enter a positive whole number.", "Enter a positive whole number.",
          "Enter a whole number from 0 to 500.", "Enter a positive whole number."}},
        {"no extension typed", "b", {"2"}, "b.EFE", {}},
        {"file cancelled", std::nullopt, {"2"}, nullptr, {}},
        {"count cancelled", "a.EFE", {std::nullopt}, nullptr, {}},
        {"the show file", "dmx.ini", {"2"}, nullptr, {"Cannot save the effect."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.shown.clear();
        prompts.files = {c.file ? std::optional(inShow(*c.file)) : std::nullopt};
        prompts.texts = {c.counts.begin(), c.counts.end()};
        controls.setPos(1005, 255 - 77); // committed by a save only
        EXPECT_EQ(effects.SaveEffect(), c.written != nullptr);
        std::vector<std::string> messages;
        for (const auto& shown : prompts.shown)
            if (shown.title == "orvane")
                messages.push_back(shown.text);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(prompts.shown.at(0).title, "Save an effect");
        EXPECT_EQ(snapshot()[30].master, c.written ? 77 : before[30].master);
        EXPECT_FALSE(std::filesystem::exists(session.showFilePath()));
        if (c.written) {
            EXPECT_EQ(effectLength(session.store(), inShow(c.written)), 2u);
            StepRecord first;
            ASSERT_TRUE(loadEffectStep(session.store(), inShow(c.written), 0, first));
            EXPECT_EQ(first.master, 77);
            std::filesystem::remove(inShow(c.written));
        }
        EXPECT_FALSE(std::filesystem::exists(inShow("a.EFE")));
        SetUp();
    }
}

} // namespace
