// The real program sending through a real olad. Everything runs inside a
// network namespace this test creates (loopback only), with an olad whose
// every plugin is disabled: nothing reaches or announces on a real network.
// Universe data is read back with OLA's own ola_recorder.

#include "dmx/olaclient.h"
#include "support/craftedstep.h"
#include "support/olad.h"
#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <thread>

using namespace orvane::test;

namespace {

std::vector<uint8_t> craftedSlots() {
    std::vector<uint8_t> frame = craftedStepFrame();
    return {frame.begin() + 1, frame.end()};
}

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

bool waitForText(const std::string& path, const std::string& text, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (readFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

class OlaProcess : public ::testing::Test {
protected:
    void SetUp() override {
        if (!orvane::olaBuiltIn())
            GTEST_SKIP() << "orvane is built without OLA";
        std::string missing = missingOlaTools();
        if (!missing.empty())
            GTEST_SKIP() << "OLA is not installed (missing " << missing << ")";
        ns = std::make_unique<NetworkNamespace>();
        if (!ns->ok())
            GTEST_SKIP() << ns->error();
        olad = std::make_unique<OladProcess>(work.path());
        ASSERT_TRUE(olad->ok()) << olad->error();
        ::mkdir(root.file("demo").c_str(), 0755);
        writeFile(root.file("demo/dmx.ini"), craftedShowFile());
        ::mkdir(config.file("orvane").c_str(), 0755);
    }
    void TearDown() override {
        if (olad) {
            EXPECT_TRUE(olad->enabledPluginFiles().empty()) << "a plugin ran with its defaults";
        }
        olad.reset(); // inside the namespace, before leaving it
        ns.reset();
    }

    std::unique_ptr<OrvaneProcess> start(const std::string& settings,
                                         std::vector<std::string> env) {
        writeFile(config.file("orvane/profile.ini"),
                  "[last]\r\nshowname=demo\r\n[settings]\r\n" + settings);
        auto p = std::make_unique<OrvaneProcess>(root, config, std::vector<std::string>{"STEP=4"},
                                                 std::move(env));
        EXPECT_TRUE(p->waitForProfile("stepnum=4")) << readFile(p->stderrPath());
        return p;
    }

    // Records the universe a second at a time until a frame holds the crafted
    // step (the step may still be fading in at first).
    bool olaCarriesTheStep(unsigned universe) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            OlaRecorder recorder(work.file("rec" + std::to_string(attempt) + ".txt"), universe);
            if (!recorder.ok())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            for (const std::vector<uint8_t>& frame : recorder.stop())
                if (frame == craftedSlots())
                    return true;
        }
        return false;
    }

    TempDir work, root, config;
    std::unique_ptr<NetworkNamespace> ns;
    std::unique_ptr<OladProcess> olad;
};

bool lineCarriesTheStep(PtyPair& pty) {
    std::vector<uint8_t> expected = craftedStepFrame();
    pty.drain();
    for (int attempt = 0; attempt < 20; ++attempt) {
        std::vector<uint8_t> bytes = pty.read(4 * 513, 1000);
        for (std::size_t k = 0; k + 513 <= bytes.size(); ++k)
            if (std::equal(expected.begin(), expected.end(), bytes.begin() + long(k)))
                return true;
    }
    return false;
}

TEST_F(OlaProcess, TheStepReachesOlaAndTheSerialLineOutlivesOladUntilItIsBack) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    auto p = start("output=serial+ola\r\n", {"ORVANE_DMX_PORT=" + pty.slavePath()});
    EXPECT_TRUE(olaCarriesTheStep(1)) << readFile(p->stderrPath());
    EXPECT_TRUE(lineCarriesTheStep(pty));

    ASSERT_TRUE(olad->stop());
    EXPECT_TRUE(waitForText(p->stderrPath(),
                            "orvane: OLA not reachable: olad at 127.0.0.1:9010, universe 1 "
                            "(Connection refused); retrying every 3.0 s\n",
                            10000))
        << readFile(p->stderrPath());
    EXPECT_TRUE(lineCarriesTheStep(pty)); // the serial line goes on as before

    // olad is started again: the program finds it on its own.
    olad.reset();
    olad = std::make_unique<OladProcess>(work.path());
    ASSERT_TRUE(olad->ok()) << olad->error();
    EXPECT_TRUE(waitForText(p->stderrPath(),
                            "orvane: OLA reachable again: olad at 127.0.0.1:9010, universe 1\n",
                            10000))
        << readFile(p->stderrPath());
    EXPECT_TRUE(olaCarriesTheStep(1)) << readFile(p->stderrPath());
    EXPECT_EQ(p->terminate(SIGTERM), 0);
    std::string err = readFile(p->stderrPath());
    EXPECT_EQ(occurrences(err, "OLA not reachable"), 1) << err; // said once, retried quietly
    EXPECT_EQ(occurrences(err, "OLA reachable again"), 1) << err;
    EXPECT_EQ(err.find("Cannot open the DMX interface"), std::string::npos) << err;
}

TEST_F(OlaProcess, OlaAloneNeedsNoSerialInterface) {
    // The default device of the test environment does not exist.
    auto p = start("output=ola\r\nolauniverse=7\r\n", {});
    EXPECT_TRUE(olaCarriesTheStep(7)) << readFile(p->stderrPath());
    EXPECT_EQ(p->terminate(SIGTERM), 0);
    std::string err = readFile(p->stderrPath());
    EXPECT_EQ(err.find("Cannot open the DMX interface"), std::string::npos) << err;
    EXPECT_EQ(err.find("OLA not reachable"), std::string::npos) << err;
}

} // namespace
