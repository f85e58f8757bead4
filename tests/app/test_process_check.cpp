// The real program's command-line options, run as on a server: no display and
// no Qt platform chosen. --help, --version and usage errors; --check on a
// crafted show, on the bundled demo show and on shows that do not exist.

#include "sound/wavmaker.h"
#include "support/runprogram.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sys/stat.h>

using namespace orvane::test;

namespace {

// No DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM: a server's shell.
std::vector<std::string> serverEnvironment(const TempDir& config,
                                           std::vector<std::string> more = {}) {
    more.push_back("XDG_CONFIG_HOME=" + config.path());
    return more;
}

} // namespace

TEST(CheckCommand, HelpVersionAndUsageErrorsNeedNoDisplay) {
    TempDir config;
    ProgramRun help = runOrvane({"--help"}, serverEnvironment(config));
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(help.out.rfind("Usage: orvane [OPTION]... [STEP=n] [SHOW=name]\n", 0), 0u)
        << help.out;
    EXPECT_NE(help.out.find("--check SHOW"), std::string::npos);
    EXPECT_EQ(help.err, "");

    ProgramRun version = runOrvane({"--version"}, serverEnvironment(config));
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_TRUE(std::regex_match(version.out, std::regex("orvane 0\\.[0-9]+\\.[0-9]+\n")))
        << version.out;

    for (const char* bad : {"--frobnicate", "-q"}) {
        ProgramRun wrong = runOrvane({"STEP=3", bad}, serverEnvironment(config));
        EXPECT_EQ(wrong.status, 2) << bad;
        EXPECT_EQ(wrong.out, "") << bad;
        EXPECT_EQ(wrong.err, "orvane: unknown option '" + std::string(bad) +
                                 "'\nTry 'orvane --help' for more information.\n");
    }
    ProgramRun noValue = runOrvane({"--check"}, serverEnvironment(config));
    EXPECT_EQ(noValue.status, 2);
    EXPECT_NE(noValue.err.find("option '--check' needs a value"), std::string::npos);
}

TEST(CheckCommand, ReportsEachProblemOnceWithItsStep) {
    TempDir root, config;
    std::string show = root.file("spring gala");
    ::mkdir(show.c_str(), 0755);
    ::mkdir((show + "/step0").c_str(), 0755);
    WavParams stereo;
    writeFile(show + "/step0/intro (SC=I).wav", asText(makeWavMs(stereo, 400)));
    writeFile(show + "/step0/broken.wav", asText(makeWav(stereo, toneData(stereo, 10))));
    writeFile(show + "/step0/encore.mp3", "ID3");
    writeFile(show + "/dmx.ini", "[GLOBAL]\r\nmanualstep=1\r\n"
                                 "1$playatbegin=1\r\n1$soundnameatbegin=INTRO\r\n"
                                 "2$playatbegin=1\r\n2$soundnameatbegin=outro\r\n"
                                 "[3]\r\nfadet=soon\r\nkeycode=73\r\nkeymodifier=4\r\n"
                                 "4$extra=LOAD=chase.efe\\nREPLAYDMX=show\\dmxraw.bin\r\n");
    ProgramRun run =
        runOrvane({"--root", root.path(), "--check", "spring gala"}, serverEnvironment(config));
    EXPECT_EQ(run.status, 1) << run.err;
    std::string r = root.path();
    EXPECT_EQ(run.out,
              "step 2: sound \"outro\" matches no sound of the bank (1 sound in " + show +
                  "/step0)\n"
                  "step 3: fade time \"soon\" is not a number\n"
                  "step 3: hot key Alt+I is also the hot key of sound \"intro (SC=I).wav\": only "
                  "one of them works\n"
                  "step 4: LOAD= effect file \"chase.efe\" is not in " +
                  r +
                  "\n"
                  "step 4: REPLAYDMX= file \"show\\dmxraw.bin\" is not in " +
                  r +
                  "\n"
                  "sound file " +
                  show +
                  "/step0/broken.wav is left out of the bank: only 40 bytes of sample data, at "
                  "least 300 needed\n"
                  "sound file " +
                  show +
                  "/step0/encore.mp3 is left out of the bank: not a .wav file: the bank "
                  "reads only those\n");
    EXPECT_NE(run.err.find("orvane: show \"spring gala\": 7 problems"), std::string::npos)
        << run.err;
}

TEST(CheckCommand, TheDemoShowIsCleanAndMissingShowsEndWithStatus2) {
    TempDir config;
    std::string demoRoot = std::string(ORVANE_SOURCE_DIR) + "/demo";
    ProgramRun demo = runOrvane({"--root", demoRoot, "--check", "demo"}, serverEnvironment(config));
    EXPECT_EQ(demo.status, 0) << demo.out << demo.err;
    EXPECT_EQ(demo.out, "");
    EXPECT_EQ(demo.err, "orvane: show \"demo\": no problem found\n");

    // The root comes from ORVANE_ROOT when --root is not given, and --root wins.
    ProgramRun viaEnvironment =
        runOrvane({"--check", "demo"}, serverEnvironment(config, {"ORVANE_ROOT=" + demoRoot}));
    EXPECT_EQ(viaEnvironment.status, 0) << viaEnvironment.err;
    TempDir empty;
    ProgramRun overridden = runOrvane({"--root", empty.path(), "--check", "demo"},
                                      serverEnvironment(config, {"ORVANE_ROOT=" + demoRoot}));
    EXPECT_EQ(overridden.status, 2);
    EXPECT_EQ(overridden.out, "");
    EXPECT_EQ(overridden.err, "orvane: no show \"demo\" in " + empty.path() + "\n");

    ProgramRun outside =
        runOrvane({"--root", demoRoot, "--check", "../demo"}, serverEnvironment(config));
    EXPECT_EQ(outside.status, 2);
    EXPECT_NE(outside.err.find("is not a show name"), std::string::npos) << outside.err;
}

TEST(CheckCommand, PicturesAreDecodedWithoutADisplay) {
    TempDir root, config;
    ::mkdir(root.file("s").c_str(), 0755);
    // A 1 x 1 Windows bitmap, 24 bits a pixel, and a file that only starts like one.
    std::string bmp = std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0"
                                  "\x01\0\x18\0\0\0\0\0\x04\0\0\0\x13\x0b\0\0\x13\x0b\0\0"
                                  "\0\0\0\0\0\0\0\0\x10\x20\x30\0",
                                  58);
    writeFile(root.file("pic.bmp"), bmp);
    writeFile(root.file("fake.bmp"), "BM and then nothing");
    writeFile(root.file("s/dmx.ini"), "[GLOBAL]\r\n1$extra=MATRIX=pic,1,1\r\n"
                                      "2$extra=MATRIX=fake.bmp\r\n");
    ProgramRun run = runOrvane({"--root", root.path(), "--check", "s"}, serverEnvironment(config));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "step 2: MATRIX= picture " + root.file("fake.bmp") +
                           " is not a Windows bitmap that can be read\n");
}

TEST(CheckCommand, TheReproducersGiveAShortSafeReportAndTheCheckEnds) {
    TempDir root, config;
    std::string show = root.file("s");
    ::mkdir(show.c_str(), 0755);
    std::string lines = "[GLOBAL]\r\nmanualstep=1\r\nhello\x1b]0;pwned\x07\x1b[2J world\r\n";
    for (int i = 0; i < 2000; ++i)
        lines += "stray " + std::to_string(i) + "\r\n";
    writeFile(show + "/dmx.ini", lines);
    ProgramRun run = runOrvane({"--root", root.path(), "--check", "s"}, serverEnvironment(config));
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.out.find('\x07'), std::string::npos);
    EXPECT_NE(run.out.find("hello\\x1B]0;pwned\\x07\\x1B[2J world"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\u2026 and 1 991 more like it\n"), std::string::npos) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 11);
    EXPECT_NE(run.err.find("orvane: show \"s\": 2 001 problems"), std::string::npos) << run.err;

    // A show saved with lone CR line ends is read, and said so.
    writeFile(show + "/dmx.ini", readFile(std::string(ORVANE_SOURCE_DIR) +
                                          "/tests/data/fuzz-repro/show_cr_line_ends.ini"));
    run = runOrvane({"--root", root.path(), "--check", "s"}, serverEnvironment(config));
    EXPECT_EQ(run.out, "show file " + show +
                           "/dmx.ini: its lines end in a lone CR: they are read as lines, and a "
                           "save writes CR LF\n");
}
