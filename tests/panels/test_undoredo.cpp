// Undo and redo of every kind of change an operator makes to the show, on the
// main window's real controls, session, buttons and the easy show builder:
// each undo gives back the show file's text of before byte for byte, each redo
// the text of after, the console shows the current step again and the status
// line says what was done.

#include "panels/showbuilder.h"
#include "playback/showsaving.h"
#include "playback/undoredo.h"
#include "show/effectfile.h"
#include "support/mainwindowstandin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace orvane;
using namespace orvane::builder;

namespace {

constexpr int kW = 1000;
constexpr int kH = 220;

// Content that survives the console both ways, different for every step.
StepRecord content(int step) {
    StepRecord r;
    r.master = step % 200 + 1;
    r.fader[2] = step % 256;
    r.colour[0] = uint32_t(step) * 7u;
    r.name = "step " + std::to_string(step);
    r.fadet = 1.5;
    r.gotostep = step;
    r.faderude = step % 2;
    r.stepsound = 1;
    return r;
}

struct UndoFixture : ::testing::Test {
    test::MainWindowStandIn main;
    ShowSaving saving{main.session, main.prompts};
    int soundListBuilt = 0;
    int restored = 0;
    UndoRedo undoRedo{main.controls, main.session,
                      UndoHooks{[this] { ++soundListBuilt; }, [this] { ++restored; }}};
    std::unique_ptr<ShowBuilder> builder;

    void SetUp() override {
        for (int s = 0; s < kStepCount; ++s)
            main.store(s, content(s));
        main.goTo(30);
        main.controls.setText(console::kStepNumber, "30");
        writeEffect(main.showFolder() + "/chase.efe");
        main.effects.FillEffectList();
        std::filesystem::create_directories(main.showFolder() + "/step0");
        test::writeFile(main.showFolder() + "/step0/b.wav", "RIFF");
        builder = std::make_unique<ShowBuilder>(main.session, main.controls, BuilderHooks{});
        builder->setStripSize(kW, kH);
        builder->init();
        main.session.edits().forget();
    }
    void writeEffect(const std::string& path) {
        ProfileFiles files;
        ShowStore scratch(files);
        scratch.setShowFilePath(main.root.file("scratch.ini"));
        for (int i = 0; i < 3; ++i) {
            StepRecord r;
            r.master = 200 + i;
            r.fader[0] = 10 * i;
            r.name = "effect " + std::to_string(i);
            r.autofade = 1;
            scratch.SaveStep(i, r);
        }
        ASSERT_TRUE(writeEffectFile(scratch, path, 0, 3));
    }
    std::string text() { return main.session.store().ShowFileText(); }
    std::string status() { return main.controls.text(console::kStatus); }
    int xOf(int step) {
        CellSpan s = builder->cellSpan(step - builder->firstVisible());
        return (s.left + s.right) / 2;
    }
    void dropIcon(int code, int step) {
        builder->beginIconDrag(code);
        builder->drop(xOf(step), kH / 2);
    }
    // The console as the operator changes it: a fader and the caption.
    void touchConsole() {
        main.controls.setPos(console::kFaders[0], 17);
        main.controls.setText(console::kStepName, "changed on the console");
    }
    // The console shows the current step as the show now holds it.
    void expectConsoleShowsCurrentStep(const char* name) {
        int current = main.session.currentStep();
        EXPECT_EQ(main.session.console().capture(), main.stored(current)) << name;
        EXPECT_FALSE(main.session.consoleChanged()) << name;
    }
};

struct Change {
    const char* name;
    std::function<void(UndoFixture&)> act;
    const char* label;
};

const Change kChanges[] = {
    {"the console stored as the step is left",
     [](UndoFixture& f) {
         f.touchConsole();
         f.main.controls.setText(console::kStepNumber, "31");
     },
     "changes to step 30"},
    {"the console stored by Save",
     [](UndoFixture& f) {
         f.touchConsole();
         ASSERT_TRUE(f.saving.save(ShowSaving::Mode::Asking));
     },
     "changes to step 30"},
    {"insert", [](UndoFixture& f) { f.main.controls.click(console::kInsertStep); },
     "insert step 30"},
    {"insert with console changes",
     [](UndoFixture& f) {
         f.touchConsole();
         f.main.controls.click(console::kInsertStep);
     },
     "insert step 30"},
    {"delete",
     [](UndoFixture& f) {
         f.main.prompts.yesNo = {true};
         f.main.controls.click(console::kDeleteStep);
     },
     "delete step 30"},
    {"duplicate", [](UndoFixture& f) { f.main.controls.click(console::kDuplicateStep); },
     "duplicate step 30"},
    {"load effect",
     [](UndoFixture& f) {
         f.main.prompts.files = {f.main.showFolder() + "/chase.efe"};
         f.main.controls.click(console::kLoadEffect);
     },
     "load effect chase.efe at step 30"},
    {"load only light, stored as the step is left",
     [](UndoFixture& f) {
         f.main.prompts.files = {f.main.showFolder() + "/chase.efe"};
         f.main.controls.click(console::kLoadOnlyLight);
         f.main.controls.setText(console::kStepNumber, "31");
     },
     "changes to step 30"},
    {"predefined effect box",
     [](UndoFixture& f) {
         f.main.effectBox.select(f.main.effectBox.find("chase.efe", false));
         f.main.controls.raise(ControlEvent::SelectionChanged, console::kPredefinedEffect);
     },
     "effect chase.efe at step 30"},
    {"builder caption",
     [](UndoFixture& f) { f.builder->controls().setText(kFirstCaption + 2, "new caption"); },
     "caption of step 32"},
    {"builder caption of the current step",
     [](UndoFixture& f) { f.builder->controls().setText(kFirstCaption, "typed here"); },
     "caption of step 30"},
    {"builder sound drop",
     [](UndoFixture& f) {
         f.builder->fillSoundList();
         f.builder->beginSoundDrag(0);
         f.builder->drop(f.xOf(31), 5);
     },
     "sound b.wav on step 31"},
    {"builder icon: stop sound", [](UndoFixture& f) { f.dropIcon(-1, 31); },
     "stop sound on step 31"},
    {"builder icon: manual transition", [](UndoFixture& f) { f.dropIcon(-2, 31); },
     "manual transition on step 31"},
    {"builder icon: timed transition and its duration",
     [](UndoFixture& f) {
         f.builder->controls().setText(kDuration, "4.5");
         f.dropIcon(-3, 32);
     },
     "timed transition on step 32"},
    {"builder icon: end-of-sound transition", [](UndoFixture& f) { f.dropIcon(-4, 30); },
     "end-of-sound transition on step 30"},
    {"builder icon: no sound level", [](UndoFixture& f) { f.dropIcon(-5, 31); },
     "no sound level on step 31"},
    {"builder icon: sound level",
     [](UndoFixture& f) {
         f.builder->controls().setPos(kLevel1, 1234);
         f.dropIcon(-6, 31);
     },
     "sound level on step 31"},
    {"builder icon: rude light fade", [](UndoFixture& f) { f.dropIcon(-7, 32); },
     "rude light fade on step 32"},
    {"builder icon: soft light fade", [](UndoFixture& f) { f.dropIcon(-8, 33); },
     "soft light fade on step 33"},
    {"builder icon: toggle pause", [](UndoFixture& f) { f.dropIcon(-9, 33); },
     "toggle pause on step 33"},
    {"builder effect drop, light only",
     [](UndoFixture& f) {
         f.touchConsole();
         f.builder->beginEffectDrag(f.builder->effectList().find("chase.efe", false));
         f.builder->drop(f.xOf(32), 100);
     },
     "effect chase.efe from step 32"},
    {"builder effect drop, whole",
     [](UndoFixture& f) {
         f.builder->controls().click(kLightOnly);
         f.builder->beginEffectDrag(f.builder->effectList().find("chase.efe", false));
         f.builder->drop(f.xOf(31), 100);
     },
     "effect chase.efe from step 31"},
    {"builder menu: insert after a console change",
     [](UndoFixture& f) {
         f.touchConsole();
         f.builder->menuCommand(kMenuInsert, f.xOf(32), 10);
     },
     "insert step 32"},
    {"builder menu: delete",
     [](UndoFixture& f) {
         f.main.prompts.yesNo = {true};
         f.builder->menuCommand(kMenuDelete, f.xOf(31), 10);
     },
     "delete step 31"},
    {"builder menu: duplicate",
     [](UndoFixture& f) { f.builder->menuCommand(kMenuDuplicate, f.xOf(33), 10); },
     "duplicate step 33"},
};

struct EveryChange : UndoFixture, ::testing::WithParamInterface<Change> {};

TEST_P(EveryChange, GoesBackAndComesBackByteForByte) {
    const Change& change = GetParam();
    std::string before = text();
    change.act(*this);
    std::string after = text();
    ASSERT_NE(after, before) << change.name << " changed nothing";
    int restoredBefore = restored;

    undoRedo.undo();
    EXPECT_EQ(text(), before) << change.name;
    EXPECT_EQ(status(), std::string("Undone: ") + change.label) << change.name;
    expectConsoleShowsCurrentStep(change.name);
    EXPECT_EQ(restored, restoredBefore + 1);

    undoRedo.redo();
    EXPECT_EQ(text(), after) << change.name;
    EXPECT_EQ(status(), std::string("Redone: ") + change.label) << change.name;
    expectConsoleShowsCurrentStep(change.name);

    undoRedo.undo();
    EXPECT_EQ(text(), before) << change.name;
    undoRedo.undo();
    EXPECT_EQ(status(), kNothingToUndo) << change.name << ": one action, one edit";
    EXPECT_EQ(text(), before) << change.name;
}

INSTANTIATE_TEST_SUITE_P(Undo, EveryChange, ::testing::ValuesIn(kChanges),
                         [](const ::testing::TestParamInfo<Change>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             return name;
                         });

TEST_F(UndoFixture, AChangeOnTheConsoleNotYetStoredIsUndoneFirst) {
    main.controls.click(console::kDuplicateStep);
    std::string duplicated = text();
    StepRecord shown = main.session.console().capture();
    touchConsole();
    undoRedo.undo();
    EXPECT_EQ(status(), "Undone: changes to step 30");
    EXPECT_EQ(main.session.console().capture(), shown) << "the console as it was";
    EXPECT_EQ(text(), duplicated);
    undoRedo.redo();
    EXPECT_EQ(main.controls.text(console::kStepName), "changed on the console");
    undoRedo.undo();
    undoRedo.undo();
    EXPECT_EQ(status(), "Undone: duplicate step 30");
}

TEST_F(UndoFixture, UndoAfterASaveMakesTheShowDifferFromItsFileAgain) {
    main.controls.click(console::kDuplicateStep);
    ASSERT_TRUE(saving.save(ShowSaving::Mode::Asking));
    std::string saved = test::readFile(main.session.showFilePath());
    ASSERT_EQ(text(), saved);
    undoRedo.undo();
    EXPECT_EQ(status(), "Undone: duplicate step 30");
    EXPECT_NE(text(), saved);
    undoRedo.redo();
    EXPECT_EQ(text(), saved);
}

TEST_F(UndoFixture, TwoHundredActionsGoBackOneByOne) {
    std::vector<std::string> texts{text()};
    for (int i = 0; i < 210; ++i) {
        int step = 40 + i % 50;
        builder->controls().setPos(kFirstStep, step);
        builder->tick();
        builder->controls().setText(kFirstCaption, "caption " + std::to_string(i));
        texts.push_back(text());
    }
    for (int i = 209; i >= 0; --i) {
        undoRedo.undo();
        ASSERT_EQ(status(), "Undone: caption of step " + std::to_string(40 + i % 50)) << i;
        ASSERT_EQ(text(), texts[size_t(i)]) << i;
    }
    undoRedo.undo();
    EXPECT_EQ(status(), kNothingToUndo);
    for (int i = 0; i < 210; ++i)
        undoRedo.redo();
    EXPECT_EQ(text(), texts.back());
    undoRedo.redo();
    EXPECT_EQ(status(), kNothingToRedo);
}

TEST_F(UndoFixture, NothingHappensWhileAnActionIsUnderWay) {
    main.controls.click(console::kDuplicateStep);
    std::string now = text();
    ShowEdits::Scope underWay(main.session.edits(), "under way");
    undoRedo.undo();
    EXPECT_EQ(status(), kEditUnderWay);
    EXPECT_EQ(text(), now);
}

TEST_F(UndoFixture, TheBuilderDrawsItsStepsAgainAfterAnUndo) {
    builder->controls().setText(kFirstCaption + 1, "before the undo");
    builder->tick();
    undoRedo.undo();
    EXPECT_EQ(builder->controls().text(kFirstCaption + 1), "before the undo")
        << "drawn at the builder's next tick";
    builder->tick();
    EXPECT_EQ(builder->controls().text(kFirstCaption + 1), "step 31");
}

} // namespace
