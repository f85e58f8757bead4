// The recovery file with the real program: an edit is still there after a
// kill -9 and a restart (and the program says it recovered it), a kill at any
// moment of the recovery write tears neither the show file nor the recovery
// file, and a clean quit saves and removes the recovery file.
//
// The edits come without a keyboard: a step with a timed transition moves the
// program to the next step, which stores the console into the step it leaves
// (with every field, where the file held two).

#include "show/recoveryfile.h"
#include "support/orvaneprocess.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace orvane;
using namespace orvane::test;

namespace {

const std::vector<std::string> kEnglish = {"LC_ALL=C.UTF-8", "LANG=C.UTF-8"};
// Step 0 fades to step 1 by itself half a second after the start.
const char* kShow = "[GLOBAL]\r\nmanualstep=0\r\n[0]\r\nname=opening\r\nautofade=1\r\nfadet=0.5\r\n"
                    "[1]\r\nname=second\r\n";

std::string makeShow(const TempDir& root) {
    std::string folder = root.file("demo");
    ::mkdir(folder.c_str(), 0755);
    writeFile(folder + "/dmx.ini", kShow);
    // Older than anything the program writes, whatever the clock's grain.
    timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, (folder + "/dmx.ini").c_str(), past, 0);
    return folder;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST(ProcessRecovery, AKillThreeSecondsAfterAnEditLosesNothing) {
    TempDir root, config;
    std::string folder = makeShow(root);
    std::string show = folder + "/dmx.ini", recovery = recoveryFilePath(show);
    {
        OrvaneProcess p(root, config, {"STEP=0", "SHOW=demo"}, kEnglish);
        ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
        // The step changes half a second after the start: killed three seconds
        // after it.
        sleepMs(3500);
        EXPECT_NE(p.terminate(SIGKILL), -1);
    }
    EXPECT_EQ(readFile(show), kShow) << "the show file is untouched until a save";
    ASSERT_TRUE(exists(recovery));
    EXPECT_EQ(checkRecoveryFile(recovery, show).state, RecoveryFileCheck::State::Usable);
    std::string kept = readFile(recovery);
    {
        OrvaneProcess p(root, config, {"STEP=0", "SHOW=demo"}, kEnglish);
        ASSERT_TRUE(p.waitForStderr("Recovered unsaved changes from")) << readFile(p.stderrPath());
        ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
        EXPECT_EQ(readFile(show), kShow) << "still untouched after the recovery";
        EXPECT_EQ(p.terminate(SIGTERM), 0);
    }
    // The save wrote what was recovered: the recovery file's text without its
    // closing line.
    std::string saved = readFile(show);
    EXPECT_NE(saved, kShow);
    EXPECT_EQ(kept.rfind(saved, 0), 0u) << "saved:\n" << saved << "\nkept:\n" << kept;
    EXPECT_FALSE(exists(recovery)) << "a clean quit removes it";
}

TEST(ProcessRecovery, ACleanQuitSavesAndRemovesTheRecoveryFile) {
    TempDir root, config;
    std::string folder = makeShow(root);
    std::string show = folder + "/dmx.ini", recovery = recoveryFilePath(show);
    OrvaneProcess p(root, config, {"STEP=0", "SHOW=demo"}, kEnglish);
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    for (int i = 0; i < 100 && !exists(recovery); ++i)
        sleepMs(50);
    ASSERT_TRUE(exists(recovery)) << "kept within 2 s of the step change";
    EXPECT_EQ(p.terminate(SIGTERM), 0);
    EXPECT_FALSE(exists(recovery));
    EXPECT_NE(readFile(show), kShow);
}

// A show that moves on by itself every 50 ms, its recovery file written
// again every second, a kill at a random moment: the show file is the one the
// test wrote, and the recovery file, when there is one, is whole.
TEST(ProcessRecovery, AKillDuringTheRecoveryWriteTearsNoFile) {
    TempDir root, config;
    std::string folder = root.file("demo");
    ::mkdir(folder.c_str(), 0755);
    std::string text = "[GLOBAL]\r\nmanualstep=0\r\n";
    for (int s = 0; s < 500; ++s)
        text += "[" + std::to_string(s) + "]\r\nname=moving on " + std::to_string(s) +
                "\r\nautofade=1\r\nfadet=0.05\r\nmaster=200\r\n";
    std::string show = folder + "/dmx.ini", recovery = recoveryFilePath(show);
    writeFile(show, text);
    timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimensat(AT_FDCWD, show.c_str(), past, 0);
    std::mt19937 random(12345);
    int whole = 0;
    for (int round = 0; round < 8; ++round) {
        OrvaneProcess p(root, config, {"STEP=0", "SHOW=demo"}, kEnglish);
        ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
        sleepMs(1000 + int(random() % 2500));
        ::kill(p.pid(), SIGKILL);
        p.wait();
        ASSERT_EQ(readFile(show), text) << "round " << round;
        RecoveryFileCheck check = checkRecoveryFile(recovery, show);
        EXPECT_TRUE(check.state == RecoveryFileCheck::State::Usable ||
                    check.state == RecoveryFileCheck::State::Absent)
            << "round " << round << ": " << check.reason;
        whole += check.state == RecoveryFileCheck::State::Usable;
    }
    EXPECT_GT(whole, 0) << "the show moved on, and nothing was kept";
}

} // namespace
