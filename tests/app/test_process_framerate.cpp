// The frame rate settings on the real program, a pseudo-terminal as its DMX
// line: the period of the frames with and without "framerate", the levels a
// two-second fade reaches the line in, and a rate the line cannot carry.
// (A pty neither paces the bytes nor shows the break: the order of the line's
// operations is tested on a recording line in the DMX tests.)

#include "support/linerecorder.h"
#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvane::test;

namespace {

using Clock = std::chrono::steady_clock;

using Frame = LineFrame;

double medianPeriodMs(const std::vector<Frame>& frames) {
    std::vector<double> periods;
    for (std::size_t i = 1; i < frames.size(); ++i)
        periods.push_back(
            std::chrono::duration<double, std::milli>(frames[i].arrived - frames[i - 1].arrived)
                .count());
    if (periods.empty())
        return 0;
    std::nth_element(periods.begin(), periods.begin() + long(periods.size() / 2), periods.end());
    return periods[periods.size() / 2];
}

// A show whose start step (1) fades channel 1 from 0 to 255 in 2 s as the
// program starts, and whose next step fades it back to 0 in 2 s once the
// program has settled; the profile's settings; the program on a pty.
class FrameRateProcess : public ::testing::Test {
protected:
    void start(const std::string& settings) {
        ::mkdir(root.file("demo").c_str(), 0755);
        writeFile(root.file("demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n"
                                             "1$master=255\r\n1$1=0\r\n1$autofade=1\r\n"
                                             "1$fadet=2.000000\r\n"
                                             "2$master=255\r\n2$1=255\r\n2$autofade=1\r\n"
                                             "2$fadet=2.000000\r\n"
                                             "3$master=255\r\n3$1=0\r\n");
        ::mkdir(config.file("orvane").c_str(), 0755);
        writeFile(config.file("orvane/profile.ini"),
                  "[last]\r\nshowname=demo\r\n[settings]\r\n" + settings);
        ASSERT_TRUE(pty.ok());
        line = std::make_unique<LineRecorder>(pty.master());
        program = std::make_unique<OrvaneProcess>(
            root, config, std::vector<std::string>{"STEP=1"},
            std::vector<std::string>{"ORVANE_DMX_PORT=" + pty.slavePath()});
    }
    void TearDown() override {
        if (program) {
            EXPECT_EQ(program->terminate(SIGTERM), 0) << readFile(program->stderrPath());
        }
    }

    TempDir root, config;
    PtyPair pty;
    std::unique_ptr<LineRecorder> line;
    std::unique_ptr<OrvaneProcess> program;
};

// The levels of channel 1 in the fade back down: from the highest (255 itself
// may fall between two frames) to the first frame at 0 after it.
std::set<uint8_t> levelsOfTheFadeDown(const std::vector<Frame>& frames) {
    auto byLevel = [](const Frame& a, const Frame& b) { return a.bytes[1] < b.bytes[1]; };
    auto top = std::max_element(frames.begin(), frames.end(), byLevel);
    std::set<uint8_t> levels;
    for (auto f = top; f != frames.end() && (f == top || f[-1].bytes[1] != 0); ++f)
        levels.insert(f->bytes[1]);
    return levels;
}

TEST_F(FrameRateProcess, FortyFramesASecondCarryATwoSecondFadeInSixtyLevelsAtLeast) {
    start("framerate=40\r\n");
    // Up to the top, then down to 0 again.
    auto fadedDown = [](const std::vector<Frame>& frames) {
        auto top = std::find_if(frames.begin(), frames.end(),
                                [](const Frame& f) { return f.bytes[1] > 240; });
        return std::any_of(top, frames.end(), [](const Frame& f) { return f.bytes[1] == 0; });
    };
    ASSERT_TRUE(line->waitUntil(fadedDown, std::chrono::seconds(30)))
        << readFile(program->stderrPath());
    ASSERT_TRUE(line->waitFor(line->frames().size() + 10, std::chrono::seconds(5)));
    std::vector<Frame> frames = line->frames();
    EXPECT_NEAR(medianPeriodMs(frames), 25.0, 1.0);
    std::set<uint8_t> levels = levelsOfTheFadeDown(frames);
    EXPECT_TRUE(levels.count(0) && *levels.rbegin() > 240) << "the fade ran from the top to 0";
    EXPECT_GE(levels.size(), 60u);
}

TEST_F(FrameRateProcess, WithoutTheSettingAFrameEvery60ms) {
    start("");
    ASSERT_TRUE(line->waitFor(60, std::chrono::seconds(30))) << readFile(program->stderrPath());
    std::vector<Frame> frames = line->frames();
    EXPECT_NEAR(medianPeriodMs(frames), 60.0, 1.0);
    for (const Frame& f : frames)
        ASSERT_EQ(f.bytes[0], 0) << "start code";
}

TEST_F(FrameRateProcess, ARateTheLineCannotCarryIsRefusedWithTheLimit) {
    start("framerate=50\r\n");
    ASSERT_TRUE(program->waitForStderr("Setting framerate=50"));
    EXPECT_NE(readFile(program->stderrPath())
                  .find("orvane: Setting framerate=50 is more than the DMX line carries: "
                        "at most 43.8 frames/s with a 200 µs break. DMX goes out at the usual "
                        "16.7 frames/s\n"),
              std::string::npos)
        << readFile(program->stderrPath());
    ASSERT_TRUE(line->waitFor(40, std::chrono::seconds(30)));
    EXPECT_NEAR(medianPeriodMs(line->frames()), 60.0, 1.0);
}

} // namespace
