// The easy show builder's logic against the main window's real controls, show
// session, step editing and activation: step colours and cells, scrolling and
// zoom, the nine icon drops, sound and effect drops, captions, the context menu,
// the double click and the timer.

#include "panels/showbuilder.h"
#include "show/effectfile.h"
#include "show/stepediting.h"
#include "show/textencoding.h"
#include "support/mainwindowstandin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace orvane;
using namespace orvane::builder;

namespace {

constexpr int kW = 1000;
constexpr int kH = 220;

uint32_t rgb(int r, int g, int b) {
    return makeColour(uint8_t(r), uint8_t(g), uint8_t(b));
}

// Content that survives the console both ways, different for every step.
StepRecord content(int step) {
    StepRecord r;
    r.master = step % 200 + 1;
    r.fader[2] = step % 256;
    r.colour[0] = uint32_t(step) * 7u;
    r.name = "step " + std::to_string(step);
    r.fadet = 1.5;
    r.gotostep = step;
    return r;
}

struct BuilderFixture : ::testing::Test {
    test::MainWindowStandIn main;
    std::vector<std::string> hookLog;
    int repaints = 0;
    bool buttonDown = true;
    std::unique_ptr<ShowBuilder> builder;

    void SetUp() override {
        for (int s = 0; s < kStepCount; ++s)
            main.store(s, content(s));
        main.goTo(30);
        main.controls.setText(console::kStepNumber, "30");
        main.log.clear();
        open();
    }
    void open() {
        BuilderHooks h;
        h.editingFromBuilder = [this](bool on) { hookLog.push_back(on ? "editing" : "done"); };
        h.fadeIn = [this] { hookLog.push_back("fadeIn"); };
        h.leftButtonDown = [this] { return buttonDown; };
        h.repaint = [this] { ++repaints; };
        builder = std::make_unique<ShowBuilder>(main.session, main.controls, h);
        builder->setStripSize(kW, kH);
        builder->init();
    }
    ControlModel& ui() { return builder->controls(); }
    // The middle of the cell showing a step.
    int xOf(int step) {
        CellSpan s = builder->cellSpan(step - builder->firstVisible());
        return (s.left + s.right) / 2;
    }
    void dropIcon(int code, int step) {
        builder->beginIconDrag(code);
        builder->drop(xOf(step), kH / 2);
    }
    void zoom(int count) {
        ui().scroll(kZoom, count);
        builder->tick();
    }
};

} // namespace

TEST(StepColour, WordsFirstThenSumsScaledToTheMaster) {
    StepRecord allZero;
    allZero.master = 255;
    StepRecord dark;
    StepRecord mixed;
    mixed.master = 128;
    mixed.colour[0] = rgb(200, 100, 0);
    mixed.colour[2] = mixed.colour[4] = mixed.colour[5] = 32;
    StepRecord rouge = mixed;
    rouge.ple = "fond rouge";
    StepRecord both = allZero;
    both.ple = "rose rouge";
    StepRecord pink = allZero;
    pink.ple = "ROSE.EFE";
    StepRecord black = mixed;
    black.ple = "noir puis rouge";
    StepRecord levels = allZero;
    levels.fader.fill(100);
    StepRecord flash = levels;
    flash.fader.fill(kLevelForcedOff);
    StepRecord later = allZero; // colours 10-13 do not count
    later.colour[0] = rgb(0, 0, 10);
    later.colour[12] = rgb(0, 200, 0);
    struct Case {
        const char* what;
        const StepRecord& step;
        uint32_t colour;
    } cases[] = {
        {"palette index 0 is red", allZero, rgb(255, 0, 0)},
        {"master 0", dark, 0},
        {"(854, 121, 0) at master 128", mixed, rgb(128, 18, 0)},
        {"rouge whatever the levels", rouge, rgb(255, 0, 0)},
        {"rouge is checked before rose", both, rgb(255, 0, 0)},
        {"upper-case word", pink, rgb(255, 0, 255)},
        {"noir is checked first", black, 0},
        {"levels add to all three sums", levels, rgb(255, 200, 200)},
        {"a flash-off level counts as 0", flash, rgb(255, 0, 0)},
        {"colour 13 is not summed", later, rgb(255, 0, 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(stepColour(c.step), c.colour) << c.what;
}

TEST(StripGeometry, CellsCutTheWidthAndTheHitTestKeepsItsEdges) {
    EXPECT_EQ(cellSpan(1000, 3, 0).right, 333);
    EXPECT_EQ(cellSpan(1000, 3, 1).left, 333);
    EXPECT_EQ(cellSpan(1000, 3, 2).right, 1000);
    struct Case {
        int x, y;
        std::optional<int> cell;
    } cases[] = {{0, 0, 0},
                 {332, 10, 0},
                 {334, 10, 1},
                 {999, 220, 2},
                 {-1, 10, {}},
                 {1000, 10, {}},
                 {10, -1, {}},
                 {10, 221, {}},
                 {666, 100, 1},
                 {667, 100, 2},
                 {500, 220, std::optional<int>(1)}};
    for (const Case& c : cases)
        EXPECT_EQ(cellAt(c.x, c.y, 1000, 220, 3), c.cell) << c.x << "," << c.y;
    EXPECT_EQ(gradientColour(rgb(0, 100, 200), rgb(100, 0, 200), 50, 100), rgb(50, 50, 200));
    EXPECT_EQ(gradientColour(rgb(0, 0, 0), rgb(255, 0, 0), 99, 100), rgb(252, 0, 0));
}

TEST(CellPictureOf, TransitionFadeTextBandAndMarks) {
    StepRecord timed;
    timed.fadet = 2.5;
    timed.autofade = 1;
    timed.master = 255;
    StepRecord next;
    next.master = 255;
    next.ple = "bleu";
    CellPicture c = cellPicture(7, timed, next, {0, 100}, {}, false);
    EXPECT_EQ(c.transitionArt, kArtTimed);
    EXPECT_EQ(c.fadeText, "2.50S");
    EXPECT_TRUE(c.gradient);
    EXPECT_EQ(c.bandFrom, rgb(255, 0, 0));
    EXPECT_EQ(c.bandTo, rgb(0, 0, 255));
    EXPECT_EQ(c.number, "7");

    StepRecord rude = timed;
    rude.faderude = 1;
    c = cellPicture(7, rude, next, {0, 100}, {}, false);
    EXPECT_FALSE(c.gradient);
    EXPECT_EQ(c.bandTo, c.bandFrom);

    StepRecord both = timed;
    both.nextonstop = 1;
    c = cellPicture(7, both, next, {0, 100}, {}, false);
    EXPECT_EQ(c.transitionArt, kArtTimed) << "the timed picture covers the end-of-sound one";
    EXPECT_EQ(c.fadeText, "");
    EXPECT_FALSE(c.gradient);
    both.autofade = 0;
    EXPECT_EQ(cellPicture(7, both, next, {}, {}, false).transitionArt, kArtEndOfSound);
    EXPECT_EQ(cellPicture(7, StepRecord{}, next, {}, {}, false).transitionArt, kArtManual);

    const std::vector<std::string> sounds = {"Intro.wav", "Outro LOOP=2.wav"};
    StepRecord play;
    play.playatbegin = 1;
    play.soundnameatbegin = "outro";
    play.stepsound = 1;
    play.sound1 = 0;
    play.sound2 = 5000;
    c = cellPicture(7, play, next, {}, sounds, true);
    EXPECT_EQ(c.playArt, kArtPlaySound);
    EXPECT_EQ(c.playName, "outro");
    EXPECT_EQ(c.redBar1, 50);
    EXPECT_EQ(c.redBar2, 25);
    EXPECT_TRUE(c.current);
    for (const char* unknown : {"$ns$", "", "Intro.wav.bak"}) {
        play.soundnameatbegin = unknown;
        EXPECT_EQ(cellPicture(7, play, next, {}, sounds, false).playArt, kArtStopSound) << unknown;
    }
    EXPECT_EQ(levelBarHeight(10000), 0);
    EXPECT_EQ(levelBarHeight(20000), 0);
    EXPECT_EQ(levelBarHeight(-5), 50);
}

TEST_F(BuilderFixture, OpensOnTheCurrentStepWithFourCellsAndTheirCaptions) {
    EXPECT_EQ(builder->firstVisible(), 30);
    EXPECT_EQ(builder->visibleCount(), 4);
    EXPECT_TRUE(ui().checked(kLightOnly));
    EXPECT_EQ(ui().state(kFirstStep).max, 490);
    EXPECT_EQ(ui().state(kLevel1).max, 10000);
    std::vector<CellPicture> cells = builder->cells();
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[1].step, 31);
    EXPECT_TRUE(cells[0].current);
    EXPECT_FALSE(cells[1].current);
    EXPECT_EQ(builder->captionCount(), 4);
    EXPECT_EQ(ui().text(kFirstCaption + 2), "step 32");
    EXPECT_FALSE(ui().visible(kFirstCaption + 4));
}

TEST_F(BuilderFixture, OneCellAt490AndTheRightButtonStops) {
    main.goTo(495);
    main.controls.setText(console::kStepNumber, "495");
    open();
    EXPECT_EQ(builder->firstVisible(), 490) << "the slider ends at 490";
    zoom(1);
    ASSERT_EQ(builder->cells().size(), 1u);
    EXPECT_EQ(builder->cells()[0].step, 490);
    ui().click(kScrollRight);
    builder->tick();
    EXPECT_EQ(builder->firstVisible(), 490);
    EXPECT_EQ(builder->stepAt(kW - 1, 0), 490);
    ui().click(kScrollLeft);
    builder->tick();
    EXPECT_EQ(builder->firstVisible(), 489);
    zoom(10);
    EXPECT_EQ(builder->cells().back().step, 498);
}

TEST_F(BuilderFixture, EachIconChangesItsFieldsAndTheConsoleFollows) {
    main.controls.setText(console::kStepNumber, "31"); // drops on the current step
    ui().setText(kDuration, "2.5");
    ui().setPos(kLevel1, 1200);
    ui().setPos(kLevel2, 3400);
    struct Case {
        int code;
        std::function<void(const StepRecord&)> check;
    } cases[] = {
        {-1,
         [](const StepRecord& r) {
             EXPECT_EQ(r.soundnameatbegin, "$ns$");
             EXPECT_EQ(r.playatbegin, 1);
         }},
        {-1,
         [](const StepRecord& r) {
             EXPECT_EQ(r.soundnameatbegin, "");
             EXPECT_EQ(r.playatbegin, 0);
         }},
        {-4,
         [](const StepRecord& r) {
             EXPECT_EQ(r.nextonstop, 1);
             EXPECT_EQ(r.autofade, 0);
         }},
        {-4,
         [](const StepRecord& r) {
             EXPECT_EQ(r.nextonstop, 0);
             EXPECT_EQ(r.autofade, 0);
         }},
        {-3,
         [](const StepRecord& r) {
             EXPECT_EQ(r.autofade, 1);
             EXPECT_DOUBLE_EQ(r.fadet, 2.5);
         }},
        {-2,
         [](const StepRecord& r) {
             EXPECT_EQ(r.autofade, 0);
             EXPECT_EQ(r.nextonstop, 0);
         }},
        {-6,
         [](const StepRecord& r) {
             EXPECT_EQ(r.stepsound, 1);
             EXPECT_EQ(r.sound1, 1200);
             EXPECT_EQ(r.sound2, 3400);
             EXPECT_EQ(r.soundlocked, 0);
         }},
        {-5,
         [](const StepRecord& r) {
             EXPECT_EQ(r.stepsound, 0);
             EXPECT_EQ(r.sound1, 1200);
         }},
        {-7, [](const StepRecord& r) { EXPECT_EQ(r.faderude, 1); }},
        {-8, [](const StepRecord& r) { EXPECT_EQ(r.faderude, 0); }},
        {-9, [](const StepRecord& r) { EXPECT_EQ(r.togglepause, 1); }},
        {-9, [](const StepRecord& r) { EXPECT_EQ(r.togglepause, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        int before = repaints;
        dropIcon(c.code, 31);
        StepRecord r = main.stored(31);
        c.check(r);
        EXPECT_EQ(r.name, "step 31") << "the rest of the step stays";
        EXPECT_EQ(main.controls.checked(console::kNextOnStop), r.nextonstop == 1);
        EXPECT_EQ(main.controls.checked(console::kTogglePause), r.togglepause == 1);
        EXPECT_GT(repaints, before);
        EXPECT_FALSE(builder->dragging());
    }
    // Equal levels lock the two sliders; a duration that is no number is 0.
    ui().setPos(kLevel2, 1200);
    ui().setText(kDuration, "soon");
    dropIcon(-6, 32);
    dropIcon(-3, 32);
    EXPECT_EQ(main.stored(32).soundlocked, 1);
    EXPECT_EQ(main.stored(32).fadet, 0.0);
    // The console's commit at the next step change keeps what was dropped.
    main.controls.setText(console::kStepNumber, "40");
    StepRecord kept = main.stored(31);
    EXPECT_DOUBLE_EQ(kept.fadet, 2.5);
    EXPECT_EQ(kept.sound1, 1200);
    EXPECT_EQ(kept.sound2, 3400);
    EXPECT_EQ(kept.soundlocked, 0);
}

TEST_F(BuilderFixture, ADropOffTheStripOnlyEndsTheDrag) {
    std::vector<StepRecord> before = main.snapshot();
    for (auto [x, y] : {std::pair{-1, 10}, std::pair{kW, 10}, std::pair{10, kH + 1}}) {
        builder->beginIconDrag(-7);
        EXPECT_EQ(builder->dragCursor(), 1101);
        builder->drop(x, y);
        EXPECT_FALSE(builder->dragging());
        EXPECT_EQ(builder->dragCursor(), 0);
    }
    EXPECT_EQ(main.snapshot(), before);
}

TEST_F(BuilderFixture, SoundListHoldsTheWavFilesAndADropNamesTheSound) {
    std::string sounds = main.root.file("show/step0/");
    for (const char* name : {"b.wav", "A.WAV", "notes.txt", ".hidden.wav"})
        test::writeFile(sounds + name, "x");
    std::filesystem::create_directories(sounds + "folder.wav");
    ui().click(kSoundRefresh);
    ASSERT_EQ(builder->soundList().count(), 2);
    EXPECT_EQ(builder->soundList().item(0).text, "A.WAV");
    EXPECT_EQ(builder->soundList().item(1).text, "b.wav");

    builder->beginSoundDrag(1);
    EXPECT_EQ(builder->dragCursor(), kSoundCursor);
    builder->drop(xOf(33), 5);
    EXPECT_EQ(main.stored(33).soundnameatbegin, "b.wav");
    EXPECT_EQ(main.stored(33).playatbegin, 1);
    EXPECT_EQ(builder->cells()[3].playArt, kArtPlaySound);
}

struct EffectDropFixture : BuilderFixture {
    std::vector<StepRecord> effect;

    void SetUp() override {
        BuilderFixture::SetUp();
        for (int i = 0; i < 5; ++i) {
            StepRecord r;
            r.master = 200 + i;
            r.fader[0] = 10 * i;
            r.name = "effect " + std::to_string(i);
            r.autofade = 1;
            r.fadet = 0.5;
            effect.push_back(r);
        }
        write(main.showFolder() + "/chase.efe");
        write(main.root.file("wave.EFE"));
        ui().click(kEffectRefresh);
    }
    void write(const std::string& path) {
        ProfileFiles files;
        ShowStore scratch(files);
        scratch.setShowFilePath(main.root.file("scratch.ini"));
        for (size_t i = 0; i < effect.size(); ++i)
            scratch.SaveStep(int(i), effect[i]);
        ASSERT_TRUE(writeEffectFile(scratch, path, 0, uint32_t(effect.size())));
    }
    void dropEffect(const std::string& entry, int step) {
        int item = builder->effectList().find(entry, false);
        ASSERT_GE(item, 0) << entry;
        builder->beginEffectDrag(item);
        EXPECT_EQ(builder->dragCursor(), kEffectCursor);
        builder->drop(xOf(step), 100);
    }
};

TEST_F(EffectDropFixture, TheListHoldsShowFilesThenRootFiles) {
    std::vector<std::string> items;
    for (int i = 0; i < builder->effectList().count(); ++i)
        items.push_back(builder->effectList().item(i).text);
    EXPECT_EQ(items, (std::vector<std::string>{"chase.efe", "wave.EFE (GLOBAL)"}))
        << "folders and hidden files are left out";
}

TEST_F(EffectDropFixture, LightOnlyCopyMakesTheStepCurrentAndSetsPle) {
    dropEffect("chase.efe", 32);
    EXPECT_EQ(main.session.currentStep(), 32);
    EXPECT_EQ(main.log, (std::vector<std::string>{"step 32"}));
    EXPECT_EQ(hookLog, (std::vector<std::string>{"editing", "done"}));
    EXPECT_FALSE(main.controls.checked(console::kFadeIn));
    for (int i = 0; i < 5; ++i) {
        StepRecord r = main.stored(32 + i);
        EXPECT_EQ(r.master, 200 + i);
        EXPECT_EQ(r.fader[0], 10 * i);
        EXPECT_EQ(r.name, "step " + std::to_string(32 + i)) << "light only";
        EXPECT_EQ(r.autofade, 0);
    }
    EXPECT_EQ(main.stored(32).ple, "chase.efe");
    EXPECT_EQ(main.stored(37), content(37));
    EXPECT_EQ(main.controls.text(console::kPredefinedEffect), "chase.efe");
    EXPECT_EQ(255 - main.controls.pos(console::kMaster), 200) << "the console shows the copy";
}

TEST_F(EffectDropFixture, WithoutTheCheckBoxAShowFolderEffectIsCopiedWhole) {
    ui().click(kLightOnly);
    std::vector<std::string> boxTexts;
    main.controls.observe([&](int id, ControlField f) {
        if (id == console::kPredefinedEffect && f == ControlField::Text)
            boxTexts.push_back(main.controls.text(id));
    });
    dropEffect("chase.efe", 32);
    EXPECT_EQ(main.stored(33).name, "effect 1");
    EXPECT_EQ(main.stored(33).autofade, 1);
    EXPECT_EQ(main.stored(32).ple, "chase.efe");
    EXPECT_NE(std::find(boxTexts.begin(), boxTexts.end(), "chase.efe*"), boxTexts.end());
    EXPECT_EQ(main.controls.text(console::kPredefinedEffect), "chase.efe");
    EXPECT_EQ(main.controls.text(console::kStepName), "effect 0");
}

TEST_F(EffectDropFixture, AGlobalEffectPastTheEndStopsAtTheLastStep) {
    std::vector<StepRecord> before = main.snapshot();
    for (int i = 0; i < 470; ++i)
        ui().click(kScrollRight);
    builder->tick();
    ASSERT_EQ(builder->firstVisible(), 490);
    zoom(10);
    dropEffect("wave.EFE (GLOBAL)", 498);
    EXPECT_EQ(main.stored(498).master, 200);
    EXPECT_EQ(main.stored(499).master, 201);
    EXPECT_EQ(main.stored(498).ple, "wave.EFE (GLOBAL)");
    std::vector<StepRecord> after = main.snapshot();
    for (int s = 0; s < 498; ++s)
        EXPECT_EQ(after[size_t(s)], before[size_t(s)]) << s;
}

TEST_F(EffectDropFixture, AVanishedEffectCopiesNothingButStillNamesTheStep) {
    std::filesystem::remove(main.showFolder() + "/chase.efe");
    dropEffect("chase.efe", 33);
    EXPECT_EQ(main.stored(33).ple, "chase.efe");
    EXPECT_EQ(main.stored(33).master, content(33).master);
    EXPECT_EQ(main.stored(34), content(34));
    EXPECT_EQ(main.controls.text(console::kPredefinedEffect), "chase.efe");
}

TEST_F(BuilderFixture, CaptionsComeAndGoOnTwoLines) {
    main.store(32, [] {
        StepRecord r = content(32);
        r.name = "first\\nsecond";
        return r;
    }());
    builder->repaintStrip();
    EXPECT_EQ(ui().text(kFirstCaption + 2), "first\r\nsecond");
    EXPECT_EQ(main.stored(32).name, "first\\nsecond") << "showing the caption stores nothing";

    ui().setText(kFirstCaption + 3, "line one\r\nline two");
    EXPECT_EQ(main.stored(33).name, "line one\\nline two");
    builder->repaintStrip();
    EXPECT_EQ(ui().text(kFirstCaption + 3), "line one\r\nline two");

    // The current step's caption is also the console's, and survives its commit.
    ui().setText(kFirstCaption + 0, "opening");
    EXPECT_EQ(main.controls.text(console::kStepName), "opening");
    builder->doubleClick(xOf(31), 5);
    EXPECT_EQ(main.stored(30).name, "opening");

    builder->close();
    ui().setText(kFirstCaption + 1, "gone");
    EXPECT_EQ(main.stored(31).name, "step 31") << "a destroyed box stores nothing";
}

// A show from the platform the shows came from keeps its Windows-1252 texts:
// the strip shows them as letters and stores what is typed or dropped in the
// show's own encoding.
TEST_F(BuilderFixture, Windows1252ShowTextsAreShownAndStoredInTheirEncoding) {
    main.session.store().setEncoding(TextEncoding::Windows1252);
    StepRecord r = content(32);
    r.name = "Premier pas\x85";
    r.ple = "fond \xE9t\xE9";
    r.playatbegin = 1;
    r.soundnameatbegin = "\xC9t\xE9";
    main.store(32, r);
    test::writeFile(main.root.file("show/step0/\xC3\x89t\xC3\xA9.wav"), "x");
    ui().click(kSoundRefresh);
    builder->repaintStrip();
    EXPECT_EQ(ui().text(kFirstCaption + 2), "Premier pas\xE2\x80\xA6");
    CellPicture c = builder->cells()[2];
    EXPECT_EQ(c.ple, "fond \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(c.playArt, kArtPlaySound) << "the stored name matches the file's UTF-8 name";
    EXPECT_EQ(c.playName, "\xC3\x89t\xC3\xA9");
    EXPECT_EQ(main.stored(32).name, "Premier pas\x85") << "showing the caption stores nothing";

    ui().setText(kFirstCaption + 3, "\xC3\xA0 bient\xC3\xB4t");
    EXPECT_EQ(main.stored(33).name, "\xE0 bient\xF4t");
    builder->beginSoundDrag(0);
    builder->drop(xOf(31), 5);
    EXPECT_EQ(main.stored(31).soundnameatbegin, "\xC9t\xE9.wav");
}

TEST_F(BuilderFixture, MenuCommandsRunTheMainWindowsEditing) {
    std::vector<StepRecord> before = main.snapshot();
    builder->menuCommand(kMenuInsert, xOf(32), 10);
    EXPECT_EQ(main.session.currentStep(), 32);
    EXPECT_EQ(main.stored(33), before[32]);
    EXPECT_EQ(main.stored(34), before[33]);
    EXPECT_EQ(main.controls.text(console::kStepInfo), "") << "the insert's own progress ran";

    main.prompts.yesNo = {true};
    builder->menuCommand(kMenuDelete, xOf(31), 10);
    EXPECT_EQ(main.session.currentStep(), 31);
    EXPECT_EQ(main.stored(31), before[32]);
    EXPECT_EQ(main.prompts.shown.back().text, kConfirmDelete);

    builder->menuCommand(kMenuDuplicate, xOf(33), 10);
    EXPECT_EQ(main.stored(34), main.stored(33));
    EXPECT_EQ(hookLog,
              (std::vector<std::string>{"editing", "done", "editing", "done", "editing", "done"}));
    EXPECT_FALSE(main.controls.checked(console::kFadeIn));

    std::vector<StepRecord> now = main.snapshot();
    builder->menuCommand(kMenuDuplicate, kW + 5, 10);
    EXPECT_EQ(main.snapshot(), now);
    EXPECT_EQ(main.session.currentStep(), 33);
}

TEST_F(BuilderFixture, DoubleClickMakesTheStepCurrentAndPicksUpItsSettings) {
    StepRecord r = content(32);
    r.sound1 = 1234;
    r.sound2 = 5678;
    r.fadet = 3.25;
    main.store(32, r);
    main.controls.setChecked(console::kFadeIn, true);
    builder->doubleClick(xOf(32), 150);
    EXPECT_EQ(main.session.currentStep(), 32);
    EXPECT_FALSE(main.controls.checked(console::kFadeIn));
    EXPECT_EQ(ui().pos(kLevel1), 1234);
    EXPECT_EQ(ui().pos(kLevel2), 5678);
    EXPECT_EQ(ui().text(kDuration), "3.25");
    EXPECT_TRUE(hookLog.empty()) << "a double click lets the step play its sound";
    builder->doubleClick(xOf(31), kH + 2);
    EXPECT_EQ(main.session.currentStep(), 32);
}

TEST_F(BuilderFixture, IconsThatActOnTheMainWindow) {
    ui().click(kPlay);
    EXPECT_EQ(hookLog, std::vector<std::string>{"fadeIn"});
    EXPECT_TRUE(main.controls.checked(console::kFadeIn));
    main.controls.setPos(console::kFadeProgress, 40);
    ui().click(kStopFade);
    EXPECT_FALSE(main.controls.checked(console::kFadeIn));
    EXPECT_EQ(main.controls.pos(console::kFadeProgress), 0);
    ui().click(kStop);
    ui().click(kSave);
    EXPECT_EQ(main.log, (std::vector<std::string>{"stop", "save"}));
}

TEST_F(BuilderFixture, TimerFollowsTheCurrentStepTheSlidersAndTheButton) {
    builder->tick();
    int before = repaints;
    builder->tick();
    EXPECT_EQ(repaints, before) << "nothing changed";
    main.controls.setText(console::kStepNumber, "45");
    builder->tick();
    EXPECT_EQ(repaints, before + 1);
    ui().scroll(kFirstStep, 44);
    zoom(6);
    EXPECT_EQ(builder->firstVisible(), 44);
    EXPECT_EQ(builder->captionCount(), 6);
    EXPECT_EQ(ui().text(kFirstCaption + 5), "step 49");

    builder->beginIconDrag(-9);
    builder->tick();
    EXPECT_TRUE(builder->dragging()) << "the button is still held";
    buttonDown = false;
    builder->tick();
    EXPECT_FALSE(builder->dragging()) << "let go outside the window";
}
