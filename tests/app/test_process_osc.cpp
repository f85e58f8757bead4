// The real program with OSC on (setting oscport), a pseudo-terminal as its DMX
// line and liblo's own oscsend as the peer: commands reach the line as the
// bytes of the steps they make current, a subscriber follows the show, and in
// a chained start OSC opens with the line.

#include "support/craftedstep.h"
#include "support/orvaneprocess.h"
#include "support/oscclient.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

constexpr uint16_t kOscPort = 9000;

// A show whose step 3 leads with a fade of no time to the crafted step 4.
void makeShow(TempDir& root, TempDir& config, const std::string& settings) {
    ::mkdir(root.file("demo").c_str(), 0755);
    writeFile(root.file("demo/dmx.ini"), craftedShowFile() + "3$name=Before the storm\r\n"
                                                             "3$fadet=0\r\n4$name=Storm\r\n");
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"),
              "[last]\r\nshowname=demo\r\n[settings]\r\n" + settings);
}

// liblo's command-line client, as a technician types it.
bool oscsend(const std::string& args) {
    std::string command = "oscsend localhost " + std::to_string(kOscPort) + " " + args;
    return std::system(command.c_str()) == 0;
}

// Whether frame (start code and 512 channels) goes out within a few seconds.
bool frameSeen(PtyPair& pty, const std::vector<uint8_t>& frame) {
    pty.drain();
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::vector<uint8_t> bytes = pty.read(4 * 513, 500);
        if (std::search(bytes.begin(), bytes.end(), frame.begin(), frame.end()) != bytes.end())
            return true;
    }
    return false;
}

// The next /orvane/state/step the subscriber gets with that step number.
std::optional<OscMessage> stepHeard(OscClient& client, int step) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        std::optional<OscMessage> m = client.receiveUntil("/orvane/state/step", 1000);
        if (m && m->args.size() == 2 && m->args[0].i == step)
            return m;
    }
    return std::nullopt;
}

} // namespace

TEST(ProcessOsc, CommandsFromOscsendReachTheLineAsTheStepsBytes) {
    if (std::system("command -v oscsend >/dev/null") != 0)
        GTEST_SKIP() << "needs oscsend (liblo-tools, scripts/install-deps.sh)";
    TempDir root, config;
    makeShow(root, config, "oscport=9000\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    OrvaneProcess p(root, config, {"STEP=3"}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=3")) << readFile(p.stderrPath());

    OscClient subscriber;
    subscriber.send("/orvane/subscribe", kOscPort);
    // The start step (step 0 is on the console before it).
    std::optional<OscMessage> first = stepHeard(subscriber, 3);
    ASSERT_TRUE(first) << readFile(p.stderrPath());
    EXPECT_EQ(first->args[1].s, "Before the storm");

    // Go: the fade of no time ends on step 4, whose bytes go out.
    ASSERT_TRUE(oscsend("/orvane/go"));
    EXPECT_TRUE(frameSeen(pty, craftedStepFrame()));
    EXPECT_TRUE(stepHeard(subscriber, 4));

    // "All dmx to 0" and back.
    std::vector<uint8_t> dark(513, 0);
    ASSERT_TRUE(oscsend("/orvane/blackout i 1"));
    EXPECT_TRUE(frameSeen(pty, dark));
    ASSERT_TRUE(oscsend("/orvane/blackout i 0"));
    EXPECT_TRUE(frameSeen(pty, craftedStepFrame()));

    // Back to step 3 (its channels all 0 but the fixed ones), then step 4 by number.
    ASSERT_TRUE(oscsend("/orvane/back"));
    EXPECT_TRUE(stepHeard(subscriber, 3));
    ASSERT_TRUE(oscsend("/orvane/step i 4"));
    EXPECT_TRUE(stepHeard(subscriber, 4));
    EXPECT_TRUE(frameSeen(pty, craftedStepFrame()));

    // Out of range: the sender hears why, the show stays.
    subscriber.send("/orvane/step", kOscPort, "i", {{500}});
    std::optional<OscMessage> error = subscriber.receiveUntil("/orvane/error", 5000);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->args[0].s, "/orvane/step: step 500 is not in 0-499");
    EXPECT_EQ(p.terminate(SIGTERM), 0);
    EXPECT_NE(readFile(p.profilePath()).find("stepnum=4"), std::string::npos);
}

TEST(ProcessOsc, InAChainedStartOscOpensWithTheLine) {
    TempDir root, config;
    makeShow(root, config, "oscport=9000\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    auto started = std::chrono::steady_clock::now();
    OrvaneProcess p(root, config, {"SHOW=demo"}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=")) << readFile(p.stderrPath());
    OscClient client;
    // Well before the line opens 5 s in, nothing answers.
    if (std::chrono::steady_clock::now() - started < std::chrono::seconds(3)) {
        client.send("/orvane/subscribe", kOscPort);
        EXPECT_FALSE(client.receive(500));
        EXPECT_TRUE(pty.drain().empty()) << "the line is not open yet either";
    }
    std::optional<OscMessage> answer;
    for (int attempt = 0; attempt < 60 && !answer; ++attempt) {
        client.send("/orvane/subscribe", kOscPort);
        answer = client.receive(250);
    }
    ASSERT_TRUE(answer) << readFile(p.stderrPath());
    // The line's 5 s timer is a coarse one, which may fire up to 5 % early.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(4750));
    EXPECT_FALSE(pty.read(513, 2000).empty()) << "the line is open";
    EXPECT_EQ(p.terminate(SIGTERM), 0);
}
