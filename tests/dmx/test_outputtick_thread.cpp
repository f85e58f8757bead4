// What crosses threads: the universe mailbox and the real output thread against
// a pseudo-terminal while the "user-interface" side keeps changing everything.
// Built under ThreadSanitizer by `make tsan` (names match Mailbox/OutputTick).

#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "dmx/universemailbox.h"
#include "support/pty.h"
#include "support/tempdir.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <thread>

namespace orvane {
namespace {

using test::filled;

bool uniform(const Universe& u) {
    return std::all_of(u.begin(), u.end(), [&](uint8_t b) { return b == u[0]; });
}

TEST(UniverseMailbox, ConsistentReadsUnderConcurrentPublish) {
    UniverseMailbox mailbox;
    std::atomic<bool> done{false};
    std::atomic<int> published{0};
    std::thread writer([&] {
        // Short pauses, so reads both overlap publishes and fall between them.
        for (uint8_t k = 0; !done; ++k) {
            mailbox.publish(filled(k));
            published.fetch_add(1, std::memory_order_relaxed);
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    });
    while (published.load(std::memory_order_relaxed) == 0) {
    }
    int consistent = 0, mixedButReported = 0;
    for (int i = 0; i < 20000; ++i) {
        Universe out;
        if (mailbox.read(out)) {
            ++consistent;
            if (!uniform(out))
                ++mixedButReported;
        }
    }
    done = true;
    writer.join();
    EXPECT_EQ(mixedButReported, 0); // a read that says "consistent" is one universe
    EXPECT_GT(consistent, 0);
}

int threadCount() {
    int count = 0;
    DIR* dir = opendir("/proc/self/task");
    while (dirent* e = readdir(dir))
        if (e->d_name[0] != '.')
            ++count;
    closedir(dir);
    return count;
}

// Waits for thread start and exit to settle in /proc.
int threadCountSettledAt(int expected) {
    int count = threadCount();
    for (int i = 0; i < 100 && count != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        count = threadCount();
    }
    return count;
}

class OutputTickThread : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("ORVANE_DMX_PORT");
        ASSERT_TRUE(pty.ok());
    }

    DmxOutputOptions options() {
        DmxOutputOptions o;
        o.message = [this](std::string_view, std::string_view text) { messages += text; };
        o.dmxPortSetting = [this] { return pty.slavePath(); };
        return o;
    }

    test::PtyPair pty;
    std::string messages; // written on this thread only
    SerialLine line{nullptr};
};

TEST_F(OutputTickThread, StartsOneTickThreadOnly) {
    // A sanitizer runtime starts its own helper with the first thread.
    std::thread([] {}).join();
    int before = threadCountSettledAt(threadCount());
    DmxOutput output(line, options());
    ASSERT_EQ(output.start(), 0);
    // The line's reader and the output thread.
    EXPECT_EQ(threadCountSettledAt(before + 2), before + 2);
    ASSERT_EQ(output.start(), 0);
    ASSERT_EQ(output.reset(), 0);
    EXPECT_EQ(threadCountSettledAt(before + 2), before + 2);
    output.stopTick();
    line.close();
    EXPECT_EQ(threadCountSettledAt(before), before);
    EXPECT_TRUE(messages.empty());
}

TEST_F(OutputTickThread, FramesFlowWhileTheWindowChangesEverything) {
    test::TempDir dir;
    DmxOutput output(line, options());
    ASSERT_EQ(output.start(), 0);

    // The "user-interface thread": publishes, presses keys, switches flags,
    // starts and stops recordings and replays, polls the status line.
    std::atomic<bool> stop{false};
    std::thread window([&] {
        for (int k = 0; !stop; ++k) {
            output.publish(filled(uint8_t(k)));
            output.keys().scrollLock.set(k % 50 < 25);
            output.setAllDmxToZero(k % 70 < 10);
            if (k % 200 == 0)
                output.startRecording(dir.file("rec.bin"));
            if (k % 200 == 100)
                output.stopRecording();
            if (k % 300 == 150)
                output.startReplay(dir.file("rec.bin"));
            output.pollStatus();
            (void)output.autoFadeDisable();
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });

    // About 0.6 s of output: ten frames, each whole, start code first.
    std::vector<uint8_t> bytes = pty.read(10 * kFrameBytes, 5000);
    stop = true;
    window.join();
    output.stopTick();
    ASSERT_EQ(bytes.size(), 10 * kFrameBytes);
    for (std::size_t at = 0; at < bytes.size(); at += kFrameBytes)
        EXPECT_EQ(bytes[at], 0) << "frame at " << at;
    EXPECT_TRUE(messages.empty());
}

} // namespace
} // namespace orvane
