// Putting a step on the console and capturing it back.

#include "console/console.h"
#include "console/consoletable.h"
#include "show/palette.h"
#include "show/patch.h"
#include "show/showstore.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

struct ConsoleFixture : ::testing::Test {
    ControlModel controls;
    Console console{controls};
    void SetUp() override { populateConsole(controls); }
};

StepRecord everyField() {
    StepRecord r;
    r.master = 201;
    for (int i = 0; i < kEntryCount; ++i) {
        if (kPatch[i].type == kTypeLamp)
            r.lamp[i] = {makeColour(uint8_t(i), 2, 3), uint8_t(i), uint8_t(200 - i), 7, 9};
        else
            r.pair[i] = {uint8_t(i + 1), uint8_t(i + 2)};
    }
    for (int f = 0; f < kFaderCount; ++f)
        r.fader[f] = 9 * f + 1;
    for (int c = 0; c < kColourCount; ++c)
        r.colour[c] = makeColour(uint8_t(10 * c), uint8_t(c), 77);
    r.colour[5] = 17; // colour 6 holds a palette index
    r.check = {0, 0, 0, 0, 1, 0, 1, 1};
    r.name = "Two\\nlines";
    r.extra = "EXEC=x\\nSMOKE=ON";
    r.soundnameatbegin = "intro";
    r.keycode = 'A';
    r.keymodifier = 2 | 1;
    r.masteront = 1.5;
    r.masterofft = 2.25;
    r.fadet = 3.75;
    r.autofade = 1;
    r.gotoFlag = 1;
    r.gotostep = 42;
    r.playatbegin = 1;
    r.nextonstop = 1;
    r.faderude = 1;
    r.togglepause = 1;
    r.stepsound = 1;
    r.soundlocked = 0;
    r.sound1 = 1234;
    r.sound2 = 9876;
    r.ple = "chase.efe (GLOBAL)";
    r.scanner[1].channel[2] = 99;
    r.head[4].padX = -5;
    return r;
}

} // namespace

TEST_F(ConsoleFixture, FullDisplayThenCaptureGivesEveryFieldBack) {
    StepRecord r = everyField();
    console.display(r, DisplayMode::Full);
    EXPECT_EQ(controls.pos(1005), 255 - 201);
    EXPECT_EQ(controls.pos(1094), 255 - (9 * 27 + 1)); // fader 28
    EXPECT_EQ(controls.text(1052), "Two\r\nlines");
    EXPECT_EQ(controls.text(4081), "Ctrl+Shift+A");
    EXPECT_EQ(controls.text(1084), "3.75");
    EXPECT_EQ(controls.colour(2009), paletteDisplayColour(17));
    EXPECT_TRUE(controls.checked(1016));
    EXPECT_FALSE(controls.checked(1017));
    EXPECT_EQ(controls.pos(1010), 1234);
    EXPECT_EQ(console.capture(), r);
}

TEST_F(ConsoleFixture, EffectModeLeavesTheNonLightPartAsItWas) {
    StepRecord shown = everyField();
    console.display(shown, DisplayMode::Full);
    StepRecord effect;
    effect.master = 10;
    effect.fader[3] = 200;
    effect.name = "effect step";
    effect.check = {0, 0, 0, 0, 0, 1, 0, 0};
    console.display(effect, DisplayMode::Effect, false);
    StepRecord got = console.capture();
    EXPECT_EQ(got.master, 201); // not written
    EXPECT_EQ(got.fader[3], 200);
    EXPECT_EQ(got.name, shown.name);
    EXPECT_EQ(got.check, shown.check);
    EXPECT_EQ(got.fadet, shown.fadet);
    EXPECT_EQ(got.ple, shown.ple);
    EXPECT_EQ(got.sound1, shown.sound1);
}

TEST_F(ConsoleFixture, CaptureTakesOperatorChangesAndShutterBoxes) {
    console.display(everyField(), DisplayMode::Full);
    controls.scroll(1025, 0);        // fader 1 to full
    controls.setChecked(1013, true); // "Shutter #1"
    controls.setText(1364, "MISC2=ON\r\nMISC3=OFF");
    controls.setText(4081, "");
    controls.setColour(2009, makeColour(0, 0, 255)); // picked blue: nearest index 20
    controls.setChecked(1115, false);
    StepRecord got = console.capture();
    EXPECT_EQ(got.fader[0], 255);
    EXPECT_EQ(got.check[1], 1);
    EXPECT_EQ(got.extra, "MISC2=ON\\nMISC3=OFF");
    EXPECT_EQ(got.keycode, 0);
    EXPECT_EQ(got.keymodifier, 0);
    EXPECT_EQ(got.colour[5], 20u);
    EXPECT_EQ(got.stepsound, 0);
    EXPECT_EQ(got.resetmaster, 0);
}

TEST_F(ConsoleFixture, NextStepPanelShowsAndCapturesItsFields) {
    StepRecord next = everyField();
    console.displayNext(next);
    EXPECT_EQ(controls.pos(1007), 255 - 201);
    EXPECT_EQ(controls.pos(1321), 255 - (9 * 23 + 1)); // level 24
    EXPECT_TRUE(controls.checked(1020));
    controls.setPos(1047, 5);
    StepRecord over;
    console.captureNextOver(over);
    EXPECT_EQ(over.master, 201);
    EXPECT_EQ(over.fader[0], 250);
    EXPECT_EQ(over.fader[24], 0); // faders 25..28 are not on the panel
    EXPECT_EQ(over.colour[5], 17u);
    EXPECT_EQ(over.colour[9], 0u);
    EXPECT_EQ(over.check, (std::array<int32_t, 8>{0, 0, 0, 0, 1, 0, 1, 1}));

    // The panel's swatches: colours 1-9 on 2000, 1129, 1155, 1159, 1263, 1268,
    // 1325, then colour 8 on 1132 and colour 9 on 1131, shown and captured alike.
    const int swatches[] = {2000, 1129, 1155, 1159, 1263, 1268, 1325, 1132, 1131};
    for (int c : {0, 1, 6, 7, 8})
        EXPECT_EQ(controls.colour(swatches[c]), next.colour[size_t(c)]) << "colour " << c + 1;
    controls.setColour(1132, makeColour(8, 8, 8));
    controls.setColour(1131, makeColour(9, 9, 9));
    console.captureNextOver(over);
    EXPECT_EQ(over.colour[7], makeColour(8, 8, 8));
    EXPECT_EQ(over.colour[8], makeColour(9, 9, 9));
}

TEST(ConsoleText, LineBreaksTravelAsBackslashN) {
    EXPECT_EQ(storedToConsole("a\\nb\\n"), "a\r\nb\r\n");
    EXPECT_EQ(storedToConsole("ends\\"), "ends\\");
    EXPECT_EQ(consoleToStored("a\r\nb\nc"), "a\\nb\nc");
    // A caption typed with a literal backslash-n also reads as two lines.
    EXPECT_EQ(storedToConsole(consoleToStored("x\\ny")), "x\r\ny");
}

TEST_F(ConsoleFixture, Windows1252TextsShowAsLettersAndGoBackAsTheyCame) {
    console.setTextEncoding(TextEncoding::Windows1252);
    StepRecord r;
    r.name = "fond rouge \xE9t\xE9\\nPremier pas\x85";
    r.extra = "VEDA=Caf\xE9";
    r.soundnameatbegin = "entr\xE9"
                         "e";
    r.ple = "\xC9toile.efe";
    console.display(r, DisplayMode::Full);
    EXPECT_EQ(controls.text(console::kStepName),
              "fond rouge \xC3\xA9t\xC3\xA9\r\nPremier pas\xE2\x80\xA6");
    EXPECT_EQ(controls.text(console::kExtra), "VEDA=Caf\xC3\xA9");
    EXPECT_EQ(controls.text(console::kSoundName), "entr\xC3\xA9"
                                                  "e");
    StepRecord back = console.capture();
    EXPECT_EQ(back.name, r.name);
    EXPECT_EQ(back.extra, r.extra);
    EXPECT_EQ(back.soundnameatbegin, r.soundnameatbegin);
    EXPECT_EQ(back.ple, r.ple);
    // What the operator types goes to the show in its encoding.
    controls.setText(console::kStepName, "\xE2\x82\xAC 5");
    EXPECT_EQ(console.capture().name, "\x80 5");
}

TEST_F(ConsoleFixture, TimesGoBackExactUntilTheirFieldIsEdited) {
    StepRecord r;
    r.fadet = 0.0019;
    r.masteront = 2.005;
    r.masterofft = 1e-9;
    console.display(r, DisplayMode::Full);
    EXPECT_EQ(controls.text(console::kFadeTime), "0.00");
    StepRecord back = console.capture();
    EXPECT_EQ(back.fadet, 0.0019);
    EXPECT_EQ(back.masteront, 2.005);
    EXPECT_EQ(back.masterofft, 1e-9);
    controls.setText(console::kFadeTime, "1.5");
    controls.setText(console::kTimeUp, "1e300");
    back = console.capture();
    EXPECT_EQ(back.fadet, 1.5);
    EXPECT_EQ(back.masteront, kMaxSeconds);
}
