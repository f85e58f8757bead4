// The real program on a virtual display with real message boxes: a start
// without the DMX interface asks nothing and takes the interface up once it
// appears; with the boxes of "Reset USB <-> DMX" open, the interface coming
// back still reaches the line, and SIGTERM still saves the show.

#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"
#include "support/virtualdisplay.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>

using namespace orvane::test;

namespace {

namespace fs = std::filesystem;

// "Reset USB <-> DMX", in the main window's client pixels (its middle).
constexpr int kResetButton[] = {1158 + 80, 686 + 14};

// Whole frames within the time given: the start code and 512 channels each.
bool framesArrive(PtyPair& pty, int timeoutMs) {
    pty.drain();
    return pty.read(3 * 513, timeoutMs).size() == 3u * 513;
}

} // namespace

TEST(ProcessBoxes, NoBoxHoldsTheLineAtTheStartNorOnceOpen) {
    if (!VirtualDisplay::available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps.sh)";
    VirtualDisplay x;
    ASSERT_TRUE(x.ok());
    TempDir root, config, dir;
    ::mkdir(root.file("demo").c_str(), 0755);
    writeFile(root.file("demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n0$master=255\r\n");
    const std::string device = dir.file("ttyDMX");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    // SHOW= opens the show without the chooser (and starts DMX 5 s later).
    OrvaneProcess p(root, config, {"SHOW=demo"},
                    {"ORVANE_NONINTERACTIVE=0", "ORVANE_DMX_PORT=" + device, "QT_QPA_PLATFORM=xcb",
                     "DISPLAY=" + x.display(), "SDL_AUDIODRIVER=dummy", "LC_ALL=C.UTF-8"});
    // A box waiting for OK would stop the start before the start step.
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    std::optional<std::string> main = x.waitForWindow("orvane 2022.001 - OV - DMX on");
    ASSERT_TRUE(main);
    EXPECT_FALSE(x.visible("^orvane$"));
    ASSERT_TRUE(p.waitForStderr("Cannot open the DMX interface " + device));
    EXPECT_FALSE(x.visible("^orvane$"));

    fs::create_symlink(pty.slavePath(), device);
    EXPECT_TRUE(framesArrive(pty, 6000));

    // Gone again, then "Reset": its boxes stay open while the interface returns.
    fs::remove(device);
    ASSERT_TRUE(x.click(*main, kResetButton[0], kResetButton[1]));
    ASSERT_TRUE(x.waitForWindow("^orvane$"));
    PtyPair second; // plugged in again, under the same name
    ASSERT_TRUE(second.ok());
    fs::create_symlink(second.slavePath(), device);
    EXPECT_TRUE(framesArrive(second, 6000)) << readFile(p.stderrPath());
    EXPECT_TRUE(x.visible("^orvane$"));

    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
    EXPECT_NE(readFile(root.file("demo/dmx.ini")).find("0$scandata5=11"), std::string::npos);
}
