// The step-editing and effect controls of the main window, driven by control
// id against the real control table, with prompts answered by script.

#include "app/dialog102.h"
#include "playback/effectcontrols.h"
#include "show/effectfile.h"
#include "show/showfolders.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace orvane;
using test::readFile;

namespace {

// Content that survives the console both ways: two-decimal times, a palette
// index in colour 6, no hot key, no step sound.
StepRecord stepContent(int step, const std::string& name = "step") {
    StepRecord r;
    r.master = step % 200 + 1;
    for (int f = 0; f < kFaderCount; ++f)
        r.fader[f] = (step + f) % 256;
    r.lamp[1] = {uint32_t(step) * 5u, 1, uint8_t(step), 3, 4};
    r.pair[20] = {uint8_t(step), 0};
    r.colour[0] = makeColour(uint8_t(step), 2, 3);
    r.colour[5] = uint32_t(step % 33);
    r.check = {0, 0, 0, 0, step % 2, 0, 1, 0};
    r.name = name + " " + std::to_string(step);
    r.extra = "EXEC=echo " + std::to_string(step);
    r.fadet = 2.5;
    r.gotostep = step;
    r.autofade = step % 2;
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
    EffectControls effects{
        controls, session, prompts, effectList,
        EffectHooks{
            .busyCursor = [this](bool busy) { hookCalls.push_back(busy ? "hourglass" : "arrow"); },
            .rebuildSoundList = [this] { hookCalls.push_back("sounds"); },
        }};
    std::vector<StepRecord> before;

    void SetUp() override {
        populateModel(controls);
        std::filesystem::create_directories(dir.file("show"));
        session.open(dir.path(), "show");
        for (int s = 0; s < kStepCount; ++s)
            session.store().SaveStep(s, stepContent(s));
        effects.bind();
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
    StepRecord load(int step) {
        StepRecord r;
        session.store().LoadStep(step, r);
        return r;
    }
    std::vector<StepRecord> snapshot() {
        std::vector<StepRecord> all;
        for (int s = 0; s < kStepCount; ++s)
            all.push_back(load(s));
        return all;
    }
    std::string showFile(const std::string& name) { return dir.file("show/" + name); }
    // An effect file holding these steps.
    void makeEffect(const std::string& path, const std::vector<StepRecord>& steps) {
        ShowStore scratch(profiles);
        scratch.setShowFilePath(dir.file("scratch.ini"));
        for (size_t i = 0; i < steps.size(); ++i)
            scratch.SaveStep(int(i), steps[i]);
        ASSERT_TRUE(writeEffectFile(scratch, path, 0, uint32_t(steps.size())));
    }
    // Picking an item of the box, as the combo box binding does it.
    void pick(const std::string& text) {
        int i = effectList.find(text, false);
        ASSERT_GE(i, 0) << text;
        controls.setText(1340, text);
        effectList.select(i);
        controls.raise(ControlEvent::SelectionChanged, 1340);
    }
    static StepRecord lightOf(StepRecord light, const StepRecord& rest) {
        light.name = rest.name;
        light.extra = rest.extra;
        light.ple = rest.ple;
        light.fadet = rest.fadet;
        light.gotostep = rest.gotostep;
        light.autofade = rest.autofade;
        light.check[4] = rest.check[4];
        light.check[5] = rest.check[5];
        light.check[6] = rest.check[6];
        light.check[7] = rest.check[7];
        return light;
    }
};

TEST_F(EffectControlsFixture, TheEditButtonsActOnTheCurrentStep) {
    std::vector<std::string> infoTexts;
    controls.observe([&](int id, ControlField f) {
        if (id == 1002 && f == ControlField::Text)
            infoTexts.push_back(controls.text(1002));
    });
    struct Case {
        int button;
        std::vector<std::pair<int, int>> moved; // step, former step it now holds
        std::vector<std::string> hooks;
        const char* shown; // the current step as the console shows it afterwards
    };
    const Case cases[] = {
        {1042,
         {{30, 30}, {31, 30}, {32, 31}, {499, 498}},
         {"hourglass", "sounds", "arrow"},
         "step 30"},
        {1043,
         {{29, 29}, {30, 31}, {31, 32}, {498, 499}, {499, 499}},
         {"hourglass", "sounds", "arrow"},
         "step 31"},
        {1126, {{30, 30}, {31, 30}, {32, 32}}, {}, "step 30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        SetUp();
        hookCalls.clear();
        infoTexts.clear();
        prompts.yesNo = {true};
        controls.click(c.button);
        for (auto [step, from] : c.moved)
            EXPECT_EQ(load(step), before[from]) << step;
        EXPECT_EQ(session.currentStep(), 30);
        EXPECT_EQ(controls.text(1052), c.shown); // the current step is shown again
        EXPECT_EQ(hookCalls, c.hooks);
        EXPECT_EQ(controls.text(1002), "");
    }
    // The insert's progress went through the step-info label.
    SetUp();
    infoTexts.clear();
    controls.click(1042);
    ASSERT_EQ(infoTexts.size(), 470u);
    EXPECT_EQ(infoTexts.front(), "1/470");
    EXPECT_EQ(infoTexts[468], "469/470");
}

TEST_F(EffectControlsFixture, DeleteAnsweredNoLeavesTheConsoleEditsUncommitted) {
    controls.setPos(1005, 255 - 123); // the operator moved the master
    prompts.yesNo = {false};
    controls.click(1043);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(controls.pos(1005), 255 - 123);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Voulez-vous vraiment faire ceci ?");
}

TEST_F(EffectControlsFixture, TheListHoldsShowFilesThenGlobalOnesSortedAndKeepsTheText) {
    for (const char* name :
         {"show/b.efe", "show/A.EFE", "show/notes.txt", "chase.efe", "Z.Efe", "show/dmx.ini"})
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
    EXPECT_EQ(effectList.selected(), -1);
}

TEST_F(EffectControlsFixture, AGlobalItemIsAppliedLightOnlyATypedStarNameInFull) {
    std::vector<StepRecord> global = {stepContent(200, "global"), stepContent(201, "global")};
    std::vector<StepRecord> local = {stepContent(300, "local"), stepContent(301, "local")};
    makeEffect(dir.file("chase.efe"), global);
    makeEffect(showFile("chase.efe"), local);
    effects.FillEffectList();

    pick("chase.efe (GLOBAL)");
    EXPECT_EQ(load(30), lightOf(global[0], before[30]));
    EXPECT_EQ(load(31), lightOf(global[1], before[31]));
    EXPECT_EQ(load(32), before[32]);
    EXPECT_EQ(controls.pos(1005), 255 - global[0].master); // the light is on the console
    EXPECT_EQ(controls.text(1052), "step 30");             // the texts are not

    // Typing replaces the selection; "refresh" applies the typed name.
    controls.setText(1340, "chase.efe*");
    EXPECT_EQ(effectList.selected(), -1);
    controls.click(1379);
    EXPECT_EQ(load(30), local[0]);
    EXPECT_EQ(load(31), local[1]);
    EXPECT_EQ(controls.text(1052), "local 300");
    EXPECT_EQ(controls.text(1340), local[0].ple); // a full display shows the step's "ple"
}

TEST_F(EffectControlsFixture, TypedNamesAreFoundInAnyCaseAndMissingOnesIgnored) {
    std::vector<StepRecord> local = {stepContent(300, "local")};
    makeEffect(showFile("Chase.EFE"), local);
    struct Case {
        const char* typed;
        bool applied;
        bool full;
    };
    const Case cases[] = {
        {"chase.efe", true, false},
        {"CHASE.EFE*", true, true},
        {".\\Chase.EFE", true, false},
        {"missing.efe*", false, false},
        {"*", false, false},
        {"", false, false},
        {"Chase.EFE (GLOBAL)", false, false}, // looked for in the root folder
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        SetUp();
        makeEffect(showFile("Chase.EFE"), local);
        controls.setText(1340, c.typed);
        controls.click(1379);
        StepRecord want = !c.applied ? before[30]
                          : c.full   ? local[0]
                                     : lightOf(local[0], before[30]);
        EXPECT_EQ(load(30), want);
        EXPECT_EQ(load(31), before[31]);
    }
}

TEST_F(EffectControlsFixture, TheBoxTextIsTheStepsPle) {
    makeEffect(dir.file("chase.efe"), {stepContent(200, "global")});
    makeEffect(showFile("other.efe"), {stepContent(400, "other")});
    effects.FillEffectList();
    pick("chase.efe (GLOBAL)");
    // Leaving the step stores the box's text with it.
    controls.setText(1000, "40");
    session.activate();
    EXPECT_EQ(load(30).ple, "chase.efe (GLOBAL)");

    // Showing a step puts its "ple" into the box without applying it.
    StepRecord r = load(41);
    r.ple = "other.efe";
    session.store().SaveStep(41, r);
    auto stored = snapshot();
    controls.setText(1000, "41");
    session.activate();
    EXPECT_EQ(controls.text(1340), "other.efe");
    EXPECT_EQ(effectList.selected(), -1);
    EXPECT_EQ(load(41), stored[41]);
    // "refresh" applies what the box now names.
    controls.click(1379);
    EXPECT_EQ(load(41).master, stepContent(400).master);
    EXPECT_EQ(load(41).name, "step 41");
}

TEST_F(EffectControlsFixture, LoadOnlyLightStoresNothingUntilTheNextCommit) {
    std::vector<StepRecord> steps;
    for (int i = 0; i < 4; ++i)
        steps.push_back(stepContent(100 + i, "fx"));
    makeEffect(showFile("four.efe"), steps);
    prompts.files = {showFile("four.efe")};
    controls.click(1119);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(controls.pos(1005), 255 - steps[0].master);
    EXPECT_EQ(controls.text(1052), "step 30");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].title, "Charger un effet");
    EXPECT_EQ(prompts.shown[0].text, "Fichier d'effet (*.EFE)");

    session.CommitCurrentStep();
    EXPECT_EQ(load(30), lightOf(steps[0], before[30]));
    EXPECT_EQ(load(31), before[31]);

    // A file without a first step leaves the console as it is.
    makeEffect(showFile("none.efe"), {});
    prompts.files = {showFile("none.efe")};
    controls.click(1119);
    EXPECT_EQ(controls.pos(1005), 255 - steps[0].master);
}

TEST_F(EffectControlsFixture, LoadEffectLaysTheFileInFullWithoutCommittingFirst) {
    std::vector<StepRecord> steps;
    for (int i = 0; i < 5; ++i)
        steps.push_back(stepContent(100 + i, "fx"));
    makeEffect(showFile("five.efe"), steps);
    goTo(497);
    controls.setPos(1005, 255 - 9); // an edit not yet committed is replaced
    prompts.files = {showFile("five.efe")};
    controls.click(1099);
    for (int s = 0; s < kStepCount; ++s)
        EXPECT_EQ(load(s), s >= 497 ? steps[s - 497] : before[s]) << s;
    EXPECT_EQ(controls.text(1052), "fx 100");
    EXPECT_EQ(controls.pos(1005), 255 - steps[0].master);

    prompts.files = {std::nullopt}; // cancelled
    controls.setPos(1005, 255 - 9);
    controls.click(1099);
    EXPECT_EQ(controls.pos(1005), 255 - 9);
}

TEST_F(EffectControlsFixture, SaveEffectAsksForAFileAndACount) {
    struct Case {
        const char* what;
        std::optional<std::string> file;
        std::vector<std::optional<std::string>> counts;
        int current;
        const char* written; // nullptr when nothing is written
        int len;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"three at 498", "a.EFE", {"3"}, 498, "a.EFE", 3, {}},
        {"zero", "a.EFE", {"0"}, 30, "a.EFE", 0, {}},
        {"bad counts first",
         "a.EFE",
         {"abc", " -2", "501", "12x", " 2 "},
         30,
         "a.EFE",
         2,
         {"Entrez un entier positif.", "Entrez un entier positif.",
          "Entrez un entier entre 0 et 500.", "Entrez un entier positif."}},
        {"no extension typed", "b", {"1"}, 30, "b.EFE", 1, {}},
        {"file cancelled", std::nullopt, {"1"}, 30, nullptr, 0, {}},
        {"count cancelled", "a.EFE", {std::nullopt}, 30, nullptr, 0, {}},
        {"the show file", "dmx.ini", {"1"}, 30, nullptr, 0, {"Impossible d'enregistrer l'effet."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        goTo(c.current);
        session.save();
        std::string show = readFile(session.showFilePath());
        prompts.shown.clear();
        prompts.files = {c.file ? std::optional(showFile(*c.file)) : std::nullopt};
        prompts.texts = {c.counts.begin(), c.counts.end()};
        controls.setPos(1005, 255 - 77); // committed by a save, not by a cancel

        EXPECT_EQ(effects.SaveEffect(), c.written != nullptr);
        std::vector<std::string> messages;
        for (size_t i = 1; i < prompts.shown.size(); ++i)
            if (prompts.shown[i].title != "Nombre de pas")
                messages.push_back(prompts.shown[i].text);
        EXPECT_EQ(messages, c.messages);
        if (c.file) {
            EXPECT_EQ(prompts.shown.at(0).title, "Sauvegarder un effet");
            EXPECT_EQ(prompts.shown.at(1).title, "Nombre de pas");
        }
        EXPECT_EQ(readFile(session.showFilePath()), show);
        if (!c.written) {
            EXPECT_EQ(load(c.current), before[c.current]);
            EXPECT_FALSE(std::filesystem::exists(showFile("a.EFE")));
            continue;
        }
        std::string path = showFile(c.written);
        EXPECT_EQ(effectLength(session.store(), path), uint32_t(c.len));
        EXPECT_EQ(load(c.current).master, 77);
        StepRecord first;
        if (c.len > 0) {
            ASSERT_TRUE(loadEffectStep(session.store(), path, 0, first));
            EXPECT_EQ(first, load(c.current));
        }
        if (c.len == 3) {
            StepRecord r;
            ASSERT_TRUE(loadEffectStep(session.store(), path, 1, r));
            EXPECT_EQ(r, load(499));
            ASSERT_TRUE(loadEffectStep(session.store(), path, 2, r));
            EXPECT_EQ(r, StepRecord{});
        }
        std::filesystem::remove(path);
    }
}

TEST_F(EffectControlsFixture, TheShutterFlagsTravelThroughSectionZero) {
    controls.setChecked(1012, true); // "Manu Shutter #1"
    controls.setChecked(1014, true); // "Manu Shutter #2"
    prompts.files = {showFile("shut.efe")};
    prompts.texts = {"1"};
    ASSERT_TRUE(effects.SaveEffect());
    EXPECT_EQ(profiles.readInt(showFile("shut.efe"), "0", "check1", -1), 1);
    EXPECT_EQ(profiles.readInt(showFile("shut.efe"), "0", "check2", -1), 0);
    EXPECT_EQ(profiles.readInt(showFile("shut.efe"), "0", "check3", -1), 1);

    StepRecord flags = stepContent(100, "fx");
    flags.check = {0, 1, 0, 1, 0, 0, 0, 0};
    makeEffect(showFile("flags.efe"), {flags});
    prompts.files = {showFile("flags.efe")};
    controls.click(1099);
    ShowStore& store = session.store();
    EXPECT_EQ(store.ReadStoreInt("0", "check1", -1, {}), 0);
    EXPECT_EQ(store.ReadStoreInt("0", "check2", -1, {}), 1);
    EXPECT_EQ(store.ReadStoreInt("0", "check4", -1, {}), 1);
    EXPECT_EQ(load(250).check[1], 1);    // every step reads them
    EXPECT_TRUE(controls.checked(1012)); // showing a step leaves the shutter boxes
}

} // namespace
