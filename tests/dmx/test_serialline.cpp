// The serial DMX line against a pseudo-terminal: configuration, frames on the
// wire, failures and their messages, close/reopen and the reader thread.

#include "dmx/serialline.h"
#include "support/pty.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <dirent.h>
#include <thread>

namespace orvane {
namespace {

class SerialLineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }

    int open(const std::string& device) {
        LineSettings s;
        s.device = device;
        return line.open(s);
    }

    test::PtyPair pty;
    std::vector<std::string> messages; // "title: text"
    SerialLine line{[this](std::string_view title, std::string_view text) {
        messages.push_back(std::string(title) + ": " + std::string(text));
    }};
};

int openDescriptors() {
    int count = 0;
    DIR* dir = opendir("/proc/self/fd");
    while (readdir(dir))
        ++count;
    closedir(dir);
    return count;
}

double processCpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

TEST(DmxDevice, EnvironmentThenProfileThenDefault) {
    EXPECT_EQ(chooseDmxDevice("/dev/ttyACM3", "/dev/ttyUSB1"), "/dev/ttyACM3");
    EXPECT_EQ(chooseDmxDevice(nullptr, "/dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(chooseDmxDevice("", "/dev/ttyUSB1"), "/dev/ttyUSB1");
    EXPECT_EQ(chooseDmxDevice(nullptr, ""), "/dev/ttyUSB0");
}

TEST_F(SerialLineTest, Raw250000EightNoneTwoCarriesEveryByte) {
    ASSERT_EQ(open(pty.slavePath()), 0);
    line.setDmxBaud();
    line.clearRts(); // a pty has no RTS: harmless
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

    // Every byte value, newline and carriage return included, crosses as is.
    std::vector<uint8_t> frame(kFrameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i);
    EXPECT_EQ(line.breakOn(), 0);
    EXPECT_EQ(line.breakOff(), 0);
    EXPECT_EQ(line.writeFrame(frame), int(kFrameBytes));
    EXPECT_EQ(pty.read(kFrameBytes + 1, 200), frame);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SerialLineTest, OpenFailures) {
    EXPECT_EQ(open("/nonexistent/ttyUSB9"), -1); // silent: DMX start reports it
    EXPECT_TRUE(messages.empty());
    // Opens, but is no terminal: the line settings are rejected.
    EXPECT_EQ(open("/dev/null"), -1);
    EXPECT_EQ(messages, std::vector<std::string>{"debug: failed#3, return -1 (25)\n"});
    EXPECT_FALSE(line.isOpen());
    uint8_t byte = 0;
    EXPECT_EQ(line.breakOn(), -1);
    EXPECT_EQ(line.breakOff(), -1);
    EXPECT_EQ(line.writeFrame({&byte, 1}), -1);
}

TEST_F(SerialLineTest, CloseAndReopenLeaveNothingBehind) {
    line.close(); // nothing open
    int before = openDescriptors();
    ASSERT_EQ(open(pty.slavePath()), 0);
    int whileOpen = openDescriptors();
    ASSERT_EQ(open(pty.slavePath()), 0); // replaces descriptor and reader
    EXPECT_EQ(openDescriptors(), whileOpen);
    EXPECT_EQ(open("/nonexistent/tty"), -1); // the old line is gone as well
    EXPECT_FALSE(line.isOpen());
    line.close();
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SerialLineTest, FrameWriteNeverBlocks) {
    ASSERT_EQ(open(pty.slavePath()), 0);
    // Nobody reads the master: once the pty is full, writes fail at once.
    std::vector<uint8_t> frame(kFrameBytes, 7);
    int i = 0;
    while (i < 2000 && line.writeFrame(frame) == int(kFrameBytes))
        ++i;
    EXPECT_LT(i, 2000);
}

TEST_F(SerialLineTest, ReaderThreadSleepsOnUnreadBytesAndHangUp) {
    ASSERT_EQ(open(pty.slavePath()), 0);
    // Bytes nobody reads, then the far end gone: a level-triggered wait
    // would spin on either.
    const uint8_t bytes[] = {9, 9, 9};
    ASSERT_TRUE(pty.write(bytes));
    for (int phase = 0; phase < 2; ++phase) {
        double cpu0 = processCpuMs();
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_LT(processCpuMs() - cpu0, 50.0) << "phase " << phase;
        pty.closeMaster();
    }
    line.close();
}

} // namespace
} // namespace orvane
