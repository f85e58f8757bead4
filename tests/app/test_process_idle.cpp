// The real program under a virtual X server, left alone for a minute: a fader
// moved after that still reaches the line within one frame period (60 ms) and
// one playback-timer period (20 ms), with a small allowance for the X server
// to hand the key over.

#include "support/linerecorder.h"
#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"
#include "support/virtualdisplay.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvane::test;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kFramePeriod = std::chrono::milliseconds(60);
constexpr auto kTimerPeriod = std::chrono::milliseconds(20);
constexpr auto kKeyDelivery = std::chrono::milliseconds(20);

// Fader 1 of the main window (client pixels): its handle at the bottom, level 0.
constexpr int kFader1Handle[] = {72, 276};

} // namespace

TEST(ProcessIdle, AFaderMovedAfterAnIdleMinuteReachesTheLineWithinAFrameAndATick) {
    if (!VirtualDisplay::available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps.sh)";
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    writeFile(root.file("demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n0$master=255\r\n");
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    LineRecorder line(pty.master());
    OrvaneProcess p(root, config, {"STEP=0"},
                    {"ORVANE_DMX_PORT=" + pty.slavePath(), "QT_QPA_PLATFORM=xcb",
                     "DISPLAY=" + x.display(), "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    std::optional<std::string> main = x.waitForWindow("orvane 2022.001 - OV - DMX on");
    ASSERT_TRUE(main);
    ASSERT_TRUE(x.click(*main, kFader1Handle[0], kFader1Handle[1])); // focus, no move
    ASSERT_TRUE(line.firstFrame(Clock::now(), 1, 0, std::chrono::seconds(5)));

    std::this_thread::sleep_for(std::chrono::minutes(1));
    size_t idleFrames = line.count();
    ASSERT_TRUE(x.key(*main, "Home")); // the fader to the top: level 255
    auto moved = Clock::now();
    std::optional<Clock::time_point> seen = line.firstFrame(moved, 1, 255, std::chrono::seconds(3));
    ASSERT_TRUE(seen) << "the fader never reached the line";
    auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(*seen - moved);
    EXPECT_LE(latency, kFramePeriod + kTimerPeriod + kKeyDelivery);
    EXPECT_GT(idleFrames, 900u) << "frames went out all through the idle minute";
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
}
