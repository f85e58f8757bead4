// The real program's windows as an operator meets them: the main window's size
// kept from one run to the next, and show time's "Fs" on a kiosk X session with
// no window manager, where the moving-head windows must not cover the console.

#include "console/consoletable.h"
#include "panels/showtimepanel.h"
#include "panels/showtimetable.h"
#include "support/orvaneprocess.h"
#include "support/tempdir.h"
#include "support/virtualdisplay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

struct LookProcess : ::testing::Test {
    TempDir root, config;
    void SetUp() override {
        ::mkdir(root.file("demo").c_str(), 0755);
        ::mkdir(root.file("demo/step0").c_str(), 0755);
        ::mkdir(config.file("orvane").c_str(), 0755);
    }
    void profile(const std::string& extra) {
        writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n" + extra);
    }
    std::string profileText() { return readFile(config.file("orvane/profile.ini")); }
    // Qt's offscreen platform with a 1920 x 1080 screen, for the program.
    std::string fullHdScreen() {
        const std::string path = config.file("screen.json");
        writeFile(path, "{ \"windowFrameMargins\": false, \"screens\": [ { \"name\": \"desk\", "
                        "\"x\": 0, \"y\": 0, \"width\": 1920, \"height\": 1080, "
                        "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n");
        return "QT_QPA_PLATFORM=offscreen:configfile=" + path;
    }
};

// The centre of a control of a table, at scale 1.
template <typename Table> std::pair<int, int> centreOf(const Table& table, int id) {
    for (const ControlDef& c : table)
        if (c.id == id)
            return {c.x + c.w / 2, c.y + c.h / 2};
    ADD_FAILURE() << "no control " << id;
    return {0, 0};
}

TEST_F(LookProcess, TheMainWindowsSizeIsKeptFromOneRunToTheNext) {
    profile("[window]\r\nmainwidth=1400\r\nmainheight=820\r\nmainmaximized=0\r\n");
    {
        OrvaneProcess p(root, config, {"STEP=0"}, {"SDL_AUDIODRIVER=dummy", fullHdScreen()});
        ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
        EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
    }
    const std::string kept = profileText();
    EXPECT_NE(kept.find("mainwidth=1400\r\nmainheight=820\r\n"), std::string::npos) << kept;

    // Without a remembered size the window opens fitted to the screen, and that is kept.
    profile("");
    {
        OrvaneProcess p(root, config, {"STEP=0"}, {"SDL_AUDIODRIVER=dummy", fullHdScreen()});
        ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
        EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
    }
    EXPECT_NE(profileText().find("mainwidth="), std::string::npos) << profileText();
    EXPECT_NE(profileText().find("mainmaximized=0"), std::string::npos) << profileText();
}

TEST_F(LookProcess, WithoutAWindowManagerFsCoversTheScreenAndHeadsStayHidden) {
    if (!VirtualDisplay::available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps.sh)";
    VirtualDisplay x; // a bare X server: no window manager
    ASSERT_TRUE(x.ok());
    profile("");
    OrvaneProcess p(root, config, {"STEP=0"},
                    {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + x.display(), "SDL_AUDIODRIVER=dummy"});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    std::optional<std::string> main = x.waitForWindow("orvane 2022.001 - OV");
    ASSERT_TRUE(main) << readFile(p.stderrPath());
    EXPECT_FALSE(x.visible("Moving head")) << "nothing could minimise them";

    const auto [sx, sy] = centreOf(consoleControls(), 1123); // "Show Time !"
    ASSERT_TRUE(x.click(*main, sx, sy));
    std::optional<std::string> showTime = x.waitForWindow("Show time !");
    ASSERT_TRUE(showTime) << readFile(p.stderrPath());
    std::optional<VirtualDisplay::Geometry> before = x.geometry(*showTime);
    ASSERT_TRUE(before);
    EXPECT_LT(before->width, 1920);
    const auto [fx, fy] = centreOf(showtime::showTimeControls(), showtime::kFullScreen);
    const double scale = double(before->width) / showtime::kBaseWidth;
    ASSERT_TRUE(x.click(*showTime, int(fx * scale), int(fy * scale)));
    std::optional<VirtualDisplay::Geometry> full;
    for (int i = 0; i < 100; ++i) {
        full = x.geometry(*showTime);
        if (full && full->width == 1920 && full->height == 1080)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(full);
    EXPECT_EQ(full->x, 0);
    EXPECT_EQ(full->y, 0);
    EXPECT_EQ(full->width, 1920);
    EXPECT_EQ(full->height, 1080);
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
}

} // namespace
