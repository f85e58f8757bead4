// The real program, started as an operator or another instance starts it:
// what it leaves in the show file and the user profile.

#include "support/craftedstep.h"
#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/stepkeyorder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace orvane::test;

namespace {

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

// The lines a first save of step n writes, given the values already there.
void appendStep(std::vector<std::string>& lines, int n,
                const std::vector<std::pair<std::string, std::string>>& existing) {
    for (const auto& [k, v] : existing)
        lines.push_back(std::to_string(n) + "$" + k + "=" + v);
    for (const std::string& k : firstSaveOrder()) {
        bool there = false;
        for (const auto& e : existing)
            there = there || e.first == k;
        if (!there)
            lines.push_back(std::to_string(n) + "$" + k + "=" + emptyStepValue(k));
    }
}

} // namespace

TEST(Process, ChainedStartActivatesTheStepAndSigtermSavesTheShow) {
    TempDir root, config;
    std::string show = root.file("My show");
    ::mkdir(show.c_str(), 0755);
    writeFile(show + "/dmx.ini", "[GLOBAL]\nmanualstep=7\n"
                                 "5$master=10\r\n"
                                 "5$foreign=keep me\r\n"
                                 "600$master=1\r\n"
                                 "[12]\r\nname=plain\r\n");
    OrvaneProcess p(root, config, {"STEP=5", "SHOW=My", "show"});
    ASSERT_TRUE(p.waitForProfile("stepnum=5")) << readFile(p.stderrPath());
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());

    // Start-up showed step 0; the activation of step 5 stored steps 0 and 1; the
    // close stored steps 5 and 6. Section 0 starts with the entry the global
    // header line made, then step 0's keys with the shared flags in their place.
    std::vector<std::string> lines = {"[GLOBAL]", "manualstep=7", "GLOBAL$manualstep=7"};
    appendStep(lines, 0, {});
    for (const char* flag : {"check1", "check2", "check3", "check4"}) {
        auto at = std::find(lines.begin(), lines.end(), "0$check5=0");
        lines.insert(at, std::string("0$") + flag + "=0");
    }
    appendStep(lines, 1, {});
    appendStep(lines, 5, {{"master", "10"}, {"foreign", "keep me"}});
    // Spot size 0 gives scanner 1's channel 6 the value 0 x 115 / 100 + 11,
    // derived as soon as a step reaches the scanner.
    for (const char* stored : {"0$scandata5=0", "5$scandata5=0"})
        std::replace(lines.begin(), lines.end(), std::string(stored),
                     std::string(stored).replace(std::string(stored).size() - 1, 1, "11"));
    appendStep(lines, 6, {});
    lines.push_back("12$name=plain");
    std::string expected = crlf(lines);
    std::string actual = readFile(show + "/dmx.ini");
    if (actual != expected)
        writeFile(config.file("expected.ini"), expected);
    EXPECT_EQ(actual, expected) << "compare with " << config.file("expected.ini");
    // The step, then the main window's size as it closed.
    const std::string profile = readFile(p.profilePath());
    EXPECT_EQ(profile.rfind("[savelast]\r\nstepnum=5\r\n[window]\r\nmainwidth=", 0), 0u) << profile;
}

TEST(Process, StartStepComesFromTheProfileAndIsKeptInRange) {
    for (auto [stored, expected] : {std::pair{"600", "0"}, std::pair{"499", "499"}}) {
        TempDir root, config;
        ::mkdir(root.file("demo").c_str(), 0755);
        ::mkdir(config.file("orvane").c_str(), 0755);
        writeFile(config.file("orvane/profile.ini"),
                  std::string("[savelast]\r\nstepnum=") + stored + "\r\n");
        OrvaneProcess p(root, config, {"SHOW=demo"});
        ASSERT_TRUE(p.waitForProfile(std::string("stepnum=") + expected + "\r\n"))
            << stored << ": " << readFile(p.profilePath());
        EXPECT_EQ(p.terminate(SIGINT), 0);
        // A new show gets its show file on the first save.
        EXPECT_NE(readFile(root.file("demo/dmx.ini")).find("[GLOBAL]\r\nmanualstep=1\r\n"),
                  std::string::npos);
    }
}

TEST(Process, WithoutAShowTheChooserOpensTheLastShow) {
    TempDir root, config;
    ::mkdir(root.file("alpha").c_str(), 0755);
    ::mkdir(root.file("Beta").c_str(), 0755);
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=beta\r\n");
    OrvaneProcess p(root, config, {"STEP=3"});
    ASSERT_TRUE(p.waitForProfile("stepnum=3")) << readFile(p.stderrPath());
    EXPECT_EQ(p.terminate(SIGTERM), 0);
    EXPECT_NE(readFile(p.profilePath()).find("showname=Beta"), std::string::npos);
    EXPECT_NE(readFile(root.file("Beta/dmx.ini")).find("3$master=0"), std::string::npos);
}

TEST(Process, DmxFramesReachTheLineAndAMissingPortLeavesTheProgramRunning) {
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    OrvaneProcess p(root, config, {}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    // A frame is the start code 0 and 512 channels, one every two ticks.
    pty.drain();
    std::vector<uint8_t> frames = pty.read(3 * 513, 2000);
    ASSERT_EQ(frames.size(), 3u * 513);
    EXPECT_EQ(p.terminate(SIGTERM), 0);
    EXPECT_EQ(readFile(p.stderrPath()).find("Cannot open the DMX interface"), std::string::npos);

    TempDir root2, config2;
    ::mkdir(root2.file("demo").c_str(), 0755);
    ::mkdir(config2.file("orvane").c_str(), 0755);
    writeFile(config2.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    OrvaneProcess missing(root2, config2, {});
    ASSERT_TRUE(missing.waitForProfile("stepnum=0"));
    EXPECT_EQ(missing.terminate(SIGTERM), 0);
    std::string err = readFile(missing.stderrPath());
    // Both start-up messages name the device and the system's reason.
    std::string port = config2.file("no-such-port");
    EXPECT_NE(err.find("orvane: Cannot open the DMX interface " + port +
                       ": No such file or directory\n"
                       "orvane: No DMX output for now: " +
                       port +
                       " not found (No such file or directory); the interface is tried again "
                       "every 2 seconds\n"),
              std::string::npos)
        << err;
}

TEST(Process, AStepOnTheConsoleBecomesItsBytesOnTheLine) {
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    writeFile(root.file("demo/dmx.ini"), craftedShowFile());
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    OrvaneProcess p(root, config, {"STEP=4"}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=4")) << readFile(p.stderrPath());
    std::vector<uint8_t> expected = craftedStepFrame();
    bool seen = false;
    for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
        std::vector<uint8_t> bytes = pty.read(4 * 513, 1000);
        for (size_t k = 0; k + 513 <= bytes.size() && !seen; ++k)
            seen = std::equal(expected.begin(), expected.end(), bytes.begin() + long(k));
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(p.terminate(SIGTERM), 0);
}

TEST(Process, AFrameFromTheFramePipeGoesOutOnTheLine) {
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    OrvaneProcess p(root, config, {"SHOW=demo"}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=0")) << readFile(p.stderrPath());
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string path = p.pipePath("orvanepipeserver");
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0) << path;
    std::vector<uint8_t> frame(512);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7 + 1);
    std::vector<uint8_t> expected = {0};
    expected.insert(expected.end(), frame.begin(), frame.end());
    bool seen = false;
    // Frames sent before the pipe's frame are of no interest: read from now on,
    // with time to spare for a slow (sanitized) build.
    pty.drain();
    for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
        ASSERT_EQ(::send(client, frame.data(), frame.size(), MSG_NOSIGNAL), 512);
        std::vector<uint8_t> bytes = pty.read(4 * 513, 1000);
        seen = std::search(bytes.begin(), bytes.end(), expected.begin(), expected.end()) !=
               bytes.end();
    }
    ::close(client);
    EXPECT_TRUE(seen);
    EXPECT_EQ(p.terminate(SIGTERM), 0);
    // The frame pipe's socket goes with the program.
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
}
