// The pre-show check on crafted shows: one problem of each kind, each reported
// once on its step; the variants of every kind that are and are not problems;
// a clean show; missing shows.

#include "show/language.h"
#include "startup/showcheck.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

using Problems = std::vector<ShowProblem>;

// A 2 x 2 Windows bitmap, 24 bits a pixel.
std::string bitmap() {
    std::string b = "BM";
    auto put32 = [&b](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(char(v >> (8 * i)));
    };
    auto put16 = [&b](uint16_t v) {
        b.push_back(char(v));
        b.push_back(char(v >> 8));
    };
    put32(70), put32(0), put32(54);                     // file header
    put32(40), put32(2), put32(2), put16(1), put16(24); // info header
    put32(0), put32(16), put32(2835), put32(2835), put32(0), put32(0);
    for (int row = 0; row < 2; ++row)
        b += std::string("\x10\x20\x30\x40\x50\x60\0\0", 8);
    return b;
}

std::string replayRecord() {
    return std::string("\x00\x02", 2) + std::string(512, '\x7f');
}

// A root with a show "s", the show "other" for CHAIN= and good and bad files of
// every kind the commands name.
struct CheckRoot {
    TempDir root;
    std::vector<BankSound> sounds = {
        {"intro.wav 0:01 000", "intro.wav", std::nullopt},
        {"gong (SC=G).wav 0:02 000", "gong (SC=G).wav", HotKey{'G', kModAlt}}};
    std::vector<LeftOutSound> leftOut;
    std::string soundFolderSeen;

    CheckRoot() {
        ::mkdir(root.file("s").c_str(), 0755);
        ::mkdir(root.file("other").c_str(), 0755);
        writeFile(root.file("good.efe"), "[effect]\r\nlen=2\r\n[123456]\r\nmaster=1\r\n"
                                         "[123457]\r\nmaster=2\r\n");
        writeFile(root.file("junk.efe"), "not an effect\n");
        writeFile(root.file("rec.bin"), replayRecord() + replayRecord());
        writeFile(root.file("cut.bin"), replayRecord() + std::string("\x00\x02\x01", 3));
        writeFile(root.file("pic.bmp"), bitmap());
        writeFile(root.file("bad.bmp"), "BM and nothing a bitmap holds");
    }

    void show(const std::string& lines) { writeFile(root.file("s/dmx.ini"), lines); }

    ShowCheckResult check(const std::string& name = "s") {
        ShowCheckHooks hooks;
        hooks.previewSounds = [this](const std::string& folder) {
            soundFolderSeen = folder;
            return SoundBankPreview{sounds, leftOut};
        };
        return checkShow(root.path(), name, hooks);
    }
    Problems problems() { return check().problems; }
};

} // namespace

TEST(ShowCheck, FindsOneProblemOfEachKindOnItsStep) {
    CheckRoot r;
    r.leftOut = {{r.root.file("s/step0/bad.wav"), "not a sound file that can be decoded"}};
    r.show("[GLOBAL]\r\nmanualstep=1\r\n"
           "[3]\r\nstray text\r\n"
           "1$fadet=2,5\r\n"
           "2$fadet=-1.000000\r\n"
           "3$goto=1\r\n3$gotostep=500\r\n"
           "4$keycode=65\r\n4$keymodifier=2\r\n"
           "5$keycode=65\r\n5$keymodifier=2\r\n"
           "6$playatbegin=1\r\n6$soundnameatbegin=outro\r\n"
           "7$extra=LOAD=FADE,missing.efe\r\n"
           "8$extra=LOADLOOP=junk.efe\r\n"
           "9$extra=REPLAYDMX=cut.bin\r\n"
           "10$extra=MATRIX=bad.bmp,1,1\r\n"
           "11$extra=CHAIN=nowhere,2\r\n"
           "700$master=1\r\n");
    ShowCheckResult result = r.check();
    ASSERT_TRUE(result.showFound);
    std::string root = r.root.path();
    Problems expected = {
        {3, "dmx.ini line 4: no \"=\" in \"stray text\": the line is skipped"},
        {-1, "dmx.ini line 20: \"700$master=1\" is in section 700, outside steps 0-499: the "
             "entry is dropped"},
        {1, "fade time \"2,5\" is not a number"},
        {2, "fade time -1.000000 is negative"},
        {3, "\"after fade goto\" step 500 is outside 0-499"},
        {5, "hot key Ctrl+A is also the hot key of step 4: only one of them works"},
        {6, "sound \"outro\" matches no sound of the bank (2 sounds in " + root + "/s/step0)"},
        {7, "LOAD= effect file \"missing.efe\" is not in " + root},
        {8, "LOADLOOP= effect file " + root +
                "/junk.efe is no effect file: no \"len\" in section \"effect\""},
        {9,
         "REPLAYDMX= file " + root + "/cut.bin ends inside record 2: its 3 bytes are not played"},
        {10, "MATRIX= picture " + root + "/bad.bmp is not a Windows bitmap that can be read"},
        {11, "CHAIN= show \"nowhere\" does not exist in " + root},
        {-1, "sound file " + root +
                 "/s/step0/bad.wav is left out of the bank: not a sound file "
                 "that can be decoded"},
    };
    EXPECT_EQ(result.problems.size(), expected.size());
    for (size_t i = 0; i < std::max(expected.size(), result.problems.size()); ++i)
        EXPECT_EQ(i < result.problems.size() ? problemLine(result.problems[i]) : "(none)",
                  i < expected.size() ? problemLine(expected[i]) : "(none)");
    EXPECT_EQ(r.soundFolderSeen, root + "/s/step0");
}

TEST(ShowCheck, AShowThatWouldPlayAsWrittenIsClean) {
    CheckRoot r;
    r.show("[GLOBAL]\r\nmanualstep=1\r\n"
           "0$fadet=2.500000\r\n0$goto=1\r\n0$gotostep=499\r\n"
           "1$fadet=\r\n1$goto=0\r\n1$gotostep=900\r\n"
           "2$keycode=65\r\n2$keymodifier=2\r\n3$keycode=65\r\n3$keymodifier=1\r\n"
           "4$playatbegin=1\r\n4$soundnameatbegin=GONG\r\n"
           "5$playatbegin=0\r\n5$soundnameatbegin=nothing like it\r\n"
           "6$extra=LOAD=FADE,DWM,GOOD.EFE\\nREPLAYDMX=rec.bin\\nMATRIX=pic.bmp,2,3\r\n"
           "7$extra=CHAIN=other,3\r\n"
           "8$extra=LOAD=DWM,sub\\good.efe\r\n");
    ::mkdir(r.root.file("sub").c_str(), 0755);
    writeFile(r.root.file("sub/good.efe"), readFile(r.root.file("good.efe")));
    ShowCheckResult result = r.check();
    EXPECT_TRUE(result.showFound);
    for (const ShowProblem& p : result.problems)
        ADD_FAILURE() << problemLine(p);
}

TEST(ShowCheck, FadeTimesAreNumbersWhateverTheLocaleWrote) {
    struct Case {
        const char* stored;
        bool problem;
    } cases[] = {
        {"2.500000", false}, {"0", false},       {"", false},    {" 3 ", false}, {"+1.5", false},
        {"1e2", false},      {"2,500000", true}, {"abc", true},  {"-0.5", true}, {"nan", true},
        {"inf", true},       {"2.5s", true},     {"0x10", true},
    };
    for (const Case& c : cases) {
        CheckRoot r;
        r.show(std::string("[GLOBAL]\r\n4$fadet=") + c.stored + "\r\n");
        Problems found = r.problems();
        EXPECT_EQ(found.size(), c.problem ? 1u : 0u) << "fadet=" << c.stored;
        if (!found.empty()) {
            EXPECT_EQ(found[0].step, 4) << "fadet=" << c.stored;
        }
    }
}

TEST(ShowCheck, ExtraCommandsAreReadAsTheyRun) {
    struct Case {
        const char* extra;
        std::string problem; // "" when the text is fine; else the start of the problem
    } cases[] = {
        // CHAIN= cuts the text at its comma: what follows is never run.
        {"CHAIN=other,-1 LOAD=missing.efe", ""},
        {"CHAIN=other,-1", ""},
        {"CHAIN=other", "CHAIN= without \",step\" does nothing"},
        {"CHAIN=,4", "CHAIN= show \"\" is not a show name"},
        {"CHAIN=..,4", "CHAIN= show \"..\" is not a show name"},
        {"EXEC=x CHAIN=other,4", "CHAIN= does not begin the Extra text"},
        {"CHAIN=other,600", "CHAIN= step 600 is outside 0-499"},
        {"CHAIN=Other,1", "CHAIN= show \"Other\" does not exist"},
        // The first of LOAD= and LOADLOOP= counts; names stop at a comma or line end.
        {"LOAD=good.efe\\nLOADLOOP=missing.efe", ""},
        {"LOADLOOP=missing.efe", "LOADLOOP= effect file \"missing.efe\""},
        {"LOAD=good.efe,REPLAYDMX=rec.bin", ""},
        {"LOAD=", "LOAD= effect file \"\" is not in"},
        {"REPLAYDMX=nothing.bin", "REPLAYDMX= file \"nothing.bin\" is not in"},
        {"MATRIX=nopic", "MATRIX= picture \"nopic.BMP\" is not in the working folder"},
        {"MATRIX=PIC.BMP", ""},
        // Keywords are case-sensitive: these are no commands.
        {"load=missing.efe matrix=nothing", ""},
    };
    for (const Case& c : cases) {
        CheckRoot r;
        r.show(std::string("[GLOBAL]\r\n12$extra=") + c.extra + "\r\n");
        Problems found = r.problems();
        if (c.problem.empty()) {
            EXPECT_TRUE(found.empty()) << c.extra << ": " << problemLine(found.front());
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << c.extra;
        EXPECT_EQ(found[0].step, 12) << c.extra;
        EXPECT_EQ(found[0].text.rfind(c.problem, 0), 0u) << c.extra << ": " << found[0].text;
    }
}

TEST(ShowCheck, EffectFilesMustPlayAsWritten) {
    std::string longEffect = "[effect]\r\nlen=130\r\n";
    for (int i = 0; i < 130; ++i)
        longEffect += "[" + std::to_string(123456 + i) + "]\r\nmaster=1\r\n";
    struct Case {
        std::string contents;
        std::string problem;
    } cases[] = {
        {"[effect]\r\nlen=0\r\n", "holds no step (\"len\" is 0)"},
        {"[effect]\r\nlen=3\r\n[123456]\r\nmaster=1\r\n[123458]\r\nmaster=1\r\n",
         "lacks its step 1 (section 123457)"},
        {"", "is no effect file: no \"len\" in section \"effect\""},
        {longEffect, "holds 130 steps: only the first 128 play"},
    };
    for (const Case& c : cases) {
        CheckRoot r;
        writeFile(r.root.file("e.efe"), c.contents);
        r.show("[GLOBAL]\r\n0$extra=LOAD=e.efe\r\n");
        Problems found = r.problems();
        ASSERT_EQ(found.size(), 1u) << c.problem;
        EXPECT_TRUE(found[0].text.ends_with(c.problem)) << found[0].text;
    }
}

TEST(ShowCheck, HotKeysThatDoNothing) {
    struct Case {
        std::string lines;
        Problems expected;
    } cases[] = {
        // The fade-in owns Alt+Space.
        {"7$keycode=32\r\n7$keymodifier=4\r\n",
         {{7, "hot key Alt+Space is the fade-in key: one of them does nothing"}}},
        // A code without a key, and one no key holds.
        {"7$keycode=7\r\n", {{7, "hot key code 7 names no key: the hot key does nothing"}}},
        {"7$keycode=300\r\n", {{7, "hot key code 300 names no key: the hot key does nothing"}}},
        // The sounds hold their keys first.
        {"9$keycode=71\r\n9$keymodifier=4\r\n",
         {{9, "hot key Alt+G is also the hot key of sound \"gong (SC=G).wav\": only one of them "
              "works"}}},
        // Only Shift, Ctrl and Alt tell two keys apart; three owners, two refused.
        {"1$keycode=112\r\n1$keymodifier=10\r\n2$keycode=112\r\n2$keymodifier=2\r\n"
         "3$keycode=112\r\n3$keymodifier=2\r\n",
         {{2, "hot key Ctrl+F1 is also the hot key of step 1: only one of them works"},
          {3, "hot key Ctrl+F1 is also the hot key of step 1: only one of them works"}}},
    };
    for (const Case& c : cases) {
        CheckRoot r;
        r.show("[GLOBAL]\r\n" + c.lines);
        EXPECT_EQ(r.problems(), c.expected) << c.lines;
    }
}

TEST(ShowCheck, SoundsOfTheBankAmongThemselves) {
    CheckRoot r;
    r.sounds.push_back({"bell (SC=G).wav 0:01 000", "bell (SC=G).wav", HotKey{'G', kModAlt}});
    r.sounds.push_back({"odd (SC=\x01).wav 0:01 000", "odd (SC=\x01).wav", HotKey{1, kModAlt}});
    r.show("[GLOBAL]\r\n0$playatbegin=1\r\n0$soundnameatbegin=\r\n");
    EXPECT_EQ(
        r.problems(),
        (Problems{{-1, "sound \"bell (SC=G).wav\": hot key Alt+G is also the hot key of sound "
                       "\"gong (SC=G).wav\": only one of them works"},
                  {-1, "sound \"odd (SC=\x01).wav\": hot key code 1 names no key: the hot "
                       "key does nothing"}}));
    // An empty name plays the first sound; with no sound at all it plays nothing.
    r.sounds.clear();
    EXPECT_EQ(r.problems(), (Problems{{0, "sound \"\" matches no sound of the bank (0 sounds in " +
                                              r.root.file("s/step0") + ")"}}));
}

TEST(ShowCheck, ShowsThatCannotBeCheckedOrHaveNoFile) {
    CheckRoot r;
    for (const char* name : {"absent", "", "..", "s/../s"}) {
        ShowCheckResult result = r.check(name);
        EXPECT_FALSE(result.showFound) << name;
        EXPECT_FALSE(result.missingReason.empty()) << name;
        EXPECT_TRUE(result.problems.empty()) << name;
    }
    // A show without its file runs with empty steps: worth saying before a show.
    EXPECT_EQ(r.problems(), (Problems{{-1, "no show file " + r.root.file("s/dmx.ini") +
                                               ": every step is empty"}}));
    ::mkdir(r.root.file("s/dmx.ini").c_str(), 0755);
    EXPECT_EQ(r.problems(), (Problems{{-1, "show file " + r.root.file("s/dmx.ini") +
                                               " cannot be read: it is a folder"}}));
}

TEST(ShowCheck, NumbersPast32BitsAreErrorsNeverWrapped) {
    CheckRoot r;
    r.show(readFile(std::string(ORVANE_SOURCE_DIR) +
                    "/tests/data/fuzz-repro/check_numbers_past_32_bits.ini") +
           "7$keycode=4294967361\r\n7$master=4294967297\r\n7$fadet=4294967297\r\n");
    std::vector<std::string> lines;
    for (const ShowProblem& p : r.problems())
        lines.push_back(problemLine(p));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "dmx.ini line 7: \"4294967297$fadet=-3\" is in section 4294967297, "
                         "outside steps 0-499: the entry is dropped",
                         "step 4: gotostep \"4294967296\" is past 32 bits: it is read as "
                         "2147483647",
                         "step 5: gotostep \"4294967796\" is past 32 bits: it is read as "
                         "2147483647",
                         "step 6: CHAIN= step 99999999999 is outside 0-499: the show would start "
                         "at step 0",
                         "step 7: keycode \"4294967361\" is past 32 bits: it is read as 2147483647",
                         "step 7: master \"4294967297\" is past 32 bits: it is read as 2147483647",
                     }));
}

TEST(ShowCheck, WhatTheReportPrintsIsSafeAndShort) {
    CheckRoot r;
    // Control bytes of a file (an escape sequence would drive the terminal),
    // C1 controls and bytes that are not UTF-8 are written as \xNN.
    r.show(readFile(std::string(ORVANE_SOURCE_DIR) +
                    "/tests/data/fuzz-repro/check_control_bytes.ini") +
           "[3]\r\nnote \xC2\x9B caf\xC3\xA9 \xE9t\xE9\r\n");
    std::vector<std::string> lines = reportLines(r.problems());
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "dmx.ini line 2: no \"=\" in \"hello\\x1B]0;pwned\\x07\\x1B[2J world\": the "
                  "line is skipped",
                  "step 3: dmx.ini line 4: no \"=\" in \"note \\xC2\\x9B caf\xC3\xA9 "
                  "\\xE9t\\xE9\": the line is skipped",
              }));

    // Ten of a kind, then how many more; other kinds keep their own ten.
    std::string junk = "[GLOBAL]\r\nmanualstep=1\r\n";
    for (int i = 0; i < 9774; ++i)
        junk += "junk " + std::to_string(i) + "\r\n";
    junk += "1$fadet=soon\r\n";
    r.show(junk);
    lines = reportLines(r.problems());
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[9], "dmx.ini line 12: no \"=\" in \"junk 9\": the line is skipped");
    EXPECT_EQ(lines[10], "\u2026 and 9 764 more like it");
    EXPECT_EQ(lines[11], "step 1: fade time \"soon\" is not a number");
    EXPECT_EQ(groupedCount(1234567), "1 234 567");
}

// In French the report keeps its shape: the step, the count written with its
// thousands apart, the file's own text untouched.
TEST(ShowCheck, TheReportSpeaksTheOperatorsLanguage) {
    ASSERT_TRUE(useLanguage(Language::French));
    CheckRoot r;
    std::string junk = "[GLOBAL]\r\nmanualstep=1\r\n";
    for (int i = 0; i < 9774; ++i)
        junk += "junk " + std::to_string(i) + "\r\n";
    junk += "1$fadet=soon\r\n";
    r.show(junk);
    std::vector<std::string> lines = reportLines(r.problems());
    useLanguage(Language::English);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[9], "dmx.ini ligne 12 : pas de \"=\" dans \"junk 9\" : la ligne est ignorée");
    EXPECT_EQ(lines[10], "\u2026 et 9 764 autres du même genre");
    EXPECT_EQ(lines[11], "pas 1 : le temps de transition \"soon\" n'est pas un nombre");
}
