// The real program under a virtual X server, worked with the mouse and the
// keyboard: a pick in the global colour window and a manual-mode fader reach the
// DMX line.

#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"
#include "support/virtualdisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <sys/stat.h>
#include <thread>

using namespace orvane::test;

namespace {

// A whole frame: start code 0, every channel 0 but the ones given (1-based).
std::vector<uint8_t> frame(const std::map<int, int>& channels) {
    std::vector<uint8_t> f(513, 0);
    for (auto [channel, value] : channels)
        f[size_t(channel)] = uint8_t(value);
    return f;
}

// Waits until the line carries exactly this frame.
bool lineCarries(PtyPair& pty, const std::vector<uint8_t>& want, int timeoutMs = 5000) {
    std::vector<uint8_t> stream;
    for (int waited = 0; waited < timeoutMs; waited += 200) {
        std::vector<uint8_t> bytes = pty.read(2 * 513, 200);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
        if (std::search(stream.begin(), stream.end(), want.begin(), want.end()) != stream.end())
            return true;
        if (stream.size() > 4 * 513)
            stream.erase(stream.begin(), stream.end() - 513);
    }
    return false;
}

// Controls of the main window (client pixels) and of the tool windows.
constexpr int kGlobalColourButton[] = {1465, 666};
constexpr int kManualModeButton[] = {1777, 666};
constexpr int kZone1TopCentre[] = {127, 31}; // pad 2010 at (16, 30), its frame, then (110, 0)
constexpr int kFader1Bottom[] = {35, 268};

// Shutters open and the four 5-channel lamps' fixed channel: the frame of a dark
// console at full master.
// Scanner 1 derives its channel 6 from the spot size 0: 0 x 115 / 100 + 11.
std::map<int, int> dark() {
    return {{33, 11}, {158, 255}, {163, 255}, {168, 255}, {173, 255}, {413, 255}, {414, 255}};
}

} // namespace

TEST(ProcessColour, AGlobalColourPickAndAManualFaderReachTheLine) {
    if (!VirtualDisplay::available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps.sh)";
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    // Step 10, the first look of manual mode: level 1 at 200 and a blue wash.
    writeFile(root.file("demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=10\r\n0$master=255\r\n"
                                         "10$master=255\r\n10$1=200\r\n10$19=255\r\n"
                                         "10$color_b3=200\r\n");
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    OrvaneProcess p(root, config, {"STEP=0"},
                    {"ORVANE_DMX_PORT=" + pty.slavePath(), "QT_QPA_PLATFORM=xcb",
                     "DISPLAY=" + x.display(), "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    std::optional<std::string> main = x.waitForWindow("orvane 2022.001 - OV - DMX on");
    ASSERT_TRUE(main);
    ASSERT_TRUE(lineCarries(pty, frame(dark())));

    // Global colour: a click at the top centre of zone 1 makes colours 1 and 7 red.
    ASSERT_TRUE(x.click(*main, kGlobalColourButton[0], kGlobalColourButton[1]));
    std::optional<std::string> colour = x.waitForWindow("^Global Color$");
    ASSERT_TRUE(colour);
    ASSERT_TRUE(x.click(*colour, kZone1TopCentre[0], kZone1TopCentre[1]));
    std::map<int, int> red = dark();
    red[35] = 255;
    red[67] = 255;
    EXPECT_TRUE(lineCarries(pty, frame(red)));

    // Manual mode: fader 1 at the top mixes step 10 whole, one page lower by 230/255.
    ASSERT_TRUE(x.click(*main, kManualModeButton[0], kManualModeButton[1]));
    std::optional<std::string> manual = x.waitForWindow("^Manual mode$");
    ASSERT_TRUE(manual);
    EXPECT_TRUE(lineCarries(pty, frame({{413, 255}, {414, 255}})));
    ASSERT_TRUE(x.click(*manual, kFader1Bottom[0], kFader1Bottom[1]));
    ASSERT_TRUE(x.key(*manual, "Home"));
    EXPECT_TRUE(lineCarries(pty, frame({{1, 200}, {45, 200}, {413, 255}, {414, 255}})));
    ASSERT_TRUE(x.key(*manual, "Next"));
    EXPECT_TRUE(lineCarries(pty, frame({{1, 180}, {45, 180}, {413, 255}, {414, 255}})));

    // Closing hands the line back to the console, red as it was left.
    ASSERT_TRUE(x.click(*main, kManualModeButton[0], kManualModeButton[1]));
    EXPECT_TRUE(lineCarries(pty, frame(red)));
    EXPECT_FALSE(x.visible("^Manual mode$"));
    // The global colour window hides on the second press and stays alive.
    ASSERT_TRUE(x.click(*main, kGlobalColourButton[0], kGlobalColourButton[1]));
    for (int i = 0; i < 40 && x.visible("^Global Color$"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(x.visible("^Global Color$"));
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
}
