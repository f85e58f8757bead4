// The real program with a stored step that sets every scanner and moving head:
// their blocks reach the line through the fixture windows.

#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <sys/stat.h>

using namespace orvane::test;

namespace {

// Step 4's fixture keys and the channel each byte must reach.
struct StoredFixtures {
    std::string lines;
    std::map<int, uint8_t> channels; // 1-based channel -> value
};

void key(StoredFixtures& f, const std::string& name, int value, int channel = 0) {
    f.lines += "4$" + name + "=" + std::to_string(value) + "\r\n";
    if (channel)
        f.channels[channel] = uint8_t(value);
}

StoredFixtures storedFixtures() {
    StoredFixtures f;
    key(f, "master", 255);
    // Scanners 1 and 2 in raw mode send their bytes as stored; scanner 3 derives
    // channel 3 from its gobo (byte 2 = 64 is gobo 3, which gives 64 again).
    for (int i = 0; i < 7; ++i)
        key(f, "scandata" + std::to_string(i), 11 + i, 28 + i);
    key(f, "scanraw", 1);
    for (int i = 0; i < 4; ++i)
        key(f, "scandata2" + std::to_string(i), 21 + i, 59 + i);
    key(f, "scan2raw", 1);
    const int scanner3[] = {31, 32, 64, 34};
    for (int i = 0; i < 4; ++i)
        key(f, "scandata3" + std::to_string(i), scanner3[i], 63 + i);
    key(f, "scandata36", 50);
    // Every head lit (head 1's dimmer is byte 3, the others' byte 6).
    for (int i = 0; i < 16; ++i)
        key(f, "movinghead1" + std::to_string(i), 100 + i, 70 + i);
    for (int h = 2; h <= 5; ++h)
        for (int i = 0; i < 14; ++i)
            key(f, "movinghead" + std::to_string(h) + std::to_string(i), 10 * h + i + 100,
                99 + 14 * (h - 2) + i);
    return f;
}

} // namespace

TEST(ProcessFixtures, AStoredStepsScannerAndHeadBlocksReachTheLine) {
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    StoredFixtures f = storedFixtures();
    writeFile(root.file("demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n" + f.lines);
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    OrvaneProcess p(root, config, {"STEP=4"}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("stepnum=4")) << readFile(p.stderrPath());
    ASSERT_EQ(f.channels.size(), 7u + 8u + 16u + 56u);
    bool seen = false;
    for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
        std::vector<uint8_t> bytes = pty.read(4 * 513, 1000);
        for (size_t k = 0; k + 513 <= bytes.size() && !seen; ++k) {
            if (bytes[k] != 0)
                continue; // a frame starts with the start code 0
            seen = true;
            for (auto [channel, value] : f.channels)
                seen = seen && bytes[k + size_t(channel)] == value;
        }
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
    // The close stored the blocks back as they came.
    std::string show = readFile(root.file("demo/dmx.ini"));
    for (const char* line : {"4$scandata6=17\r\n", "4$scandata32=64\r\n", "4$scan3raw=0\r\n",
                             "4$movinghead115=115\r\n", "4$movinghead513=163\r\n"})
        EXPECT_NE(show.find(line), std::string::npos) << line;
}
