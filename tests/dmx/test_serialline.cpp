// The serial DMX line against a pseudo-terminal: configuration, frames on the
// wire, failures and their messages, close/reopen and the reader thread.

#include "dmx/serialline.h"
#include "support/pty.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <dirent.h>
#include <thread>

namespace orvane {
namespace {

using test::PtyPair;

struct Message {
    std::string title, text;
};

class SerialLineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }

    LineSettings dmxSettings(const std::string& device) {
        LineSettings s;
        s.device = device;
        return s;
    }

    PtyPair pty;
    std::vector<Message> messages;
    SerialLine line{[this](std::string_view title, std::string_view text) {
        messages.push_back({std::string(title), std::string(text)});
    }};
};

std::vector<uint8_t> pattern(std::size_t size, uint8_t first) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(first + i);
    return bytes;
}

int openDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir))
        ++count;
    closedir(dir);
    return count;
}

TEST(DmxDevice, EnvironmentThenProfileThenDefault) {
    EXPECT_EQ(chooseDmxDevice("/dev/ttyACM3", "/dev/ttyUSB1"), "/dev/ttyACM3");
    EXPECT_EQ(chooseDmxDevice(nullptr, "/dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(chooseDmxDevice("", "/dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(chooseDmxDevice(nullptr, ""), "/dev/ttyUSB0");
    EXPECT_EQ(chooseDmxDevice("", ""), "/dev/ttyUSB0");
}

TEST_F(SerialLineTest, ConfiguresRaw250000EightNoneTwo) {
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    line.setDmxBaud();
    line.clearRts(); // a pty has no RTS; must stay harmless

    auto config = test::lineConfig(pty.master());
    ASSERT_TRUE(config);
    EXPECT_TRUE(config->freeBaud);
    EXPECT_EQ(config->outputBaud, 250000u);
    EXPECT_EQ(config->inputBaud, 250000u);
    EXPECT_EQ(config->dataBits, 8u);
    EXPECT_FALSE(config->parity);
    EXPECT_EQ(config->stopBits, 2u);
    EXPECT_TRUE(config->rawOutput);
    EXPECT_TRUE(config->rawInput);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SerialLineTest, FrameArrivesIntactAfterBreak) {
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    // Every byte value, including newline and carriage return, must cross
    // unchanged.
    std::vector<uint8_t> frame = pattern(kFrameBytes, 0);
    EXPECT_EQ(line.breakOn(), 0);
    EXPECT_EQ(line.breakOff(), 0);
    EXPECT_EQ(line.writeFrame(frame), int(kFrameBytes));
    EXPECT_EQ(pty.read(kFrameBytes, 2000), frame);
    EXPECT_TRUE(pty.drain().empty());
}

TEST_F(SerialLineTest, OpenFailures) {
    // A missing device: -1 without any message (DMX start reports it).
    EXPECT_EQ(line.open(dmxSettings("/nonexistent/ttyUSB9")), -1);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(line.isOpen());

    // A device that opens but is no terminal rejects the line settings.
    EXPECT_EQ(line.open(dmxSettings("/dev/null")), -1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "debug");
    EXPECT_EQ(messages[0].text, "failed#3, return -1 (25)\n"); // ENOTTY
    EXPECT_FALSE(line.isOpen());

    // Line operations on the closed line fail harmlessly.
    uint8_t byte = 0;
    EXPECT_EQ(line.breakOn(), -1);
    EXPECT_EQ(line.breakOff(), -1);
    EXPECT_EQ(line.writeFrame({&byte, 1}), -1);
}

TEST_F(SerialLineTest, CloseAndReopenLeaveNothingBehind) {
    line.close(); // nothing open
    int before = openDescriptors();
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    int whileOpen = openDescriptors();
    // Open on an open line replaces the descriptor and the reader thread.
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    EXPECT_EQ(openDescriptors(), whileOpen);
    line.close();
    line.close();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_TRUE(messages.empty());

    // A failed reopen leaves the line closed, the old descriptor released.
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    EXPECT_EQ(line.open(dmxSettings("/nonexistent/tty")), -1);
    EXPECT_FALSE(line.isOpen());
    EXPECT_EQ(openDescriptors(), before);
}

TEST_F(SerialLineTest, FrameWriteNeverBlocks) {
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    // Nobody reads the master: the pty fills up; writes must then fail
    // instead of waiting.
    std::vector<uint8_t> frame = pattern(kFrameBytes, 7);
    int refused = 0;
    for (int i = 0; i < 2000 && refused == 0; ++i)
        if (line.writeFrame(frame) != int(kFrameBytes))
            ++refused;
    EXPECT_GT(refused, 0);
}

TEST_F(SerialLineTest, ReaderThreadReportsReceivedBytes) {
    std::atomic<std::size_t> reported{0};
    line.setReceiveHook([&](std::size_t waiting) { reported = waiting; });
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(pty.write(bytes));
    for (int i = 0; i < 200 && reported == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(reported.load(), 5u);
    line.close();
}

double processCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

TEST_F(SerialLineTest, ReaderThreadSleepsOnUnreadBytesAndHangUp) {
    ASSERT_EQ(line.open(dmxSettings(pty.slavePath())), 0);
    // Received bytes nobody reads, then the far end gone: a level-triggered
    // wait would spin on either.
    const uint8_t bytes[] = {9, 9, 9};
    ASSERT_TRUE(pty.write(bytes));
    double cpu0 = processCpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_LT(processCpuMs() - cpu0, 50.0);

    pty.closeMaster();
    cpu0 = processCpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_LT(processCpuMs() - cpu0, 50.0);
    line.close();
}

} // namespace
} // namespace orvane
