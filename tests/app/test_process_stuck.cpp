// The real program with a sound that stalls its decoder: a preloaded stand-in
// for libsndfile's open that never returns, and the damaged WAV fuzzing found.
// The console keeps ticking (the step's levels reach the line), the file is
// left out with a log line naming it, SIGTERM still ends the program through
// the save sequence, and --check on the same show ends and says why.

#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/runprogram.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>

using namespace orvane::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// Step 0 puts level 200 on channel 1: a frame carrying it was composed by the
// playback clock, so the console ticks.
const std::string kShow = "[GLOBAL]\r\nmanualstep=1\r\n0$master=255\r\n0$1=200\r\n";

std::string repro(const std::string& name) {
    return readFile(std::string(ORVANE_SOURCE_DIR) + "/tests/data/fuzz-repro/" + name);
}

struct StuckShow {
    TempDir root, config;
    PtyPair pty;
    StuckShow(const std::string& wavName, const std::string& wav) {
        ::mkdir(root.file("demo").c_str(), 0755);
        ::mkdir(root.file("demo/step0").c_str(), 0755);
        writeFile(root.file("demo/dmx.ini"), kShow);
        writeFile(root.file("demo/step0/" + wavName), wav);
        ::mkdir(config.file("orvane").c_str(), 0755);
        writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    }
    // Channel 1 at 200 within the next frames.
    bool stepOnTheLine() {
        pty.drain();
        for (int attempt = 0; attempt < 10; ++attempt) {
            std::vector<uint8_t> bytes = pty.read(2 * 513, 500);
            const std::vector<uint8_t> head = {0, 200};
            if (std::search(bytes.begin(), bytes.end(), head.begin(), head.end()) != bytes.end())
                return true;
        }
        return false;
    }
};

} // namespace

TEST(ProcessStuck, ADecoderThatNeverReturnsLeavesTheShowRunningAndSavable) {
    if (kSanitized)
        GTEST_SKIP() << "a preloaded library cannot come before the sanitizer's runtime";
    StuckShow s("song.wav", std::string(600, 'x'));
    ASSERT_TRUE(s.pty.ok());
    OrvaneProcess p(s.root, s.config, {},
                    {"ORVANE_DMX_PORT=" + s.pty.slavePath(),
                     std::string("LD_PRELOAD=") + ORVANE_HANGING_DECODER});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    // While the decoder hangs, and after it was abandoned, the step goes out.
    EXPECT_TRUE(s.stepOnTheLine());
    ASSERT_TRUE(p.waitForStderr("sound file " + s.root.file("demo/step0/song.wav") +
                                " left out: not decoded within 2 s (the decoder did not return"))
        << readFile(p.stderrPath());
    EXPECT_TRUE(s.stepOnTheLine());
    EXPECT_EQ(p.terminate(SIGTERM, 10000), 0) << readFile(p.stderrPath());
    EXPECT_NE(readFile(s.root.file("demo/dmx.ini")).find("0$scandata5=11"), std::string::npos);

    // --check gives the file the same bound, and ends.
    ProgramRun check = runOrvane({"--root", s.root.path(), "--check", "demo"},
                                 {std::string("LD_PRELOAD=") + ORVANE_HANGING_DECODER}, 20000);
    EXPECT_EQ(check.status, 1) << check.err;
    EXPECT_NE(check.out.find("sound file " + s.root.file("demo/step0/song.wav") +
                             " is left out of the bank: not decoded within 2 s"),
              std::string::npos)
        << check.out;
}

TEST(ProcessStuck, TheDamagedWavIsLeftOutAtOnceAndCheckEnds) {
    StuckShow s("hang.wav", repro("wav_list_chunk_hang.wav"));
    ASSERT_TRUE(s.pty.ok());
    OrvaneProcess p(s.root, s.config, {}, {"ORVANE_DMX_PORT=" + s.pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    ASSERT_TRUE(p.waitForStderr("sound file " + s.root.file("demo/step0/hang.wav") +
                                " left out: not a sound file that can be decoded"))
        << readFile(p.stderrPath());
    EXPECT_TRUE(s.stepOnTheLine());
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());

    ProgramRun check = runOrvane({"--root", s.root.path(), "--check", "demo"}, {}, 20000);
    EXPECT_EQ(check.status, 1) << check.err;
    EXPECT_NE(check.out.find("hang.wav is left out of the bank: not a sound file"),
              std::string::npos)
        << check.out;
}
