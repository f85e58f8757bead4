// The output tick driven tick by tick (no thread): line phases and frames on a
// pseudo-terminal, start code, "All dmx to 0", recording and replay of
// dmxraw.bin, Scroll Lock and the stop keys, the frame-pipe hook, DMX start.

#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "dmx/uiwake.h"
#include "support/pty.h"
#include "support/recordingline.h"
#include "support/tempdir.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orvane {
namespace {

using namespace test;
using Op = RecordingLine::Op;
using Frames = std::vector<Frame>;

// A DmxOutput without thread, its messages and a tick clock.
class TickHarness {
public:
    TickHarness(DmxLine& line, std::string device, TickHooks* hooks = nullptr)
        : device(std::move(device)), output(line, options(hooks)) {
        unsetenv("ORVANE_DMX_PORT");
    }

    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            output.runTick(now += kTickPeriodMs);
    }
    // The latest status text, or "(none)" when nothing was posted.
    std::string status() { return output.pollStatus().value_or("(none)"); }

    std::string device;
    std::vector<std::string> messages;
    int64_t now = 100000;
    DmxOutput output;

private:
    DmxOutputOptions options(TickHooks* hooks) {
        DmxOutputOptions o;
        o.message = [this](std::string_view, std::string_view text) {
            messages.emplace_back(text);
        };
        o.dmxPortSetting = [this] { return device; };
        o.hooks = hooks;
        o.runThread = false;
        return o;
    }
};

class OutputTickLine : public ::testing::Test, public TickHarness {
protected:
    OutputTickLine() : TickHarness(line, "/dev/ttyDMX") {}
    RecordingLine line;
};

class OutputTickPty : public ::testing::Test, public TickHarness {
protected:
    OutputTickPty() : TickHarness(line, "") {}
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        device = pty.slavePath();
        ASSERT_EQ(output.start(), 0);
    }

    // Ticks so that the next tick is a frame tick; drops what was sent.
    void alignToFrameTick() {
        ticks(1);
        if (!sentFrames().empty())
            ticks(1);
        sentFrames();
    }
    // Frames sent since the last call.
    Frames sentFrames() {
        std::vector<uint8_t> bytes = pty.drain();
        EXPECT_EQ(bytes.size() % kFrameBytes, 0u);
        Frames frames;
        for (std::size_t at = 0; at + kFrameBytes <= bytes.size(); at += kFrameBytes)
            frames.emplace_back(bytes.begin() + at, bytes.begin() + at + kFrameBytes);
        return frames;
    }

    PtyPair pty;
    SerialLine line{nullptr};
    TempDir dir;
};

TEST_F(OutputTickLine, StartOpensAt250000EightNoneTwo) {
    ASSERT_EQ(output.start(), 0);
    ASSERT_EQ(line.opened.size(), 1u);
    const LineSettings& s = line.opened[0];
    EXPECT_EQ(s.device, "/dev/ttyDMX");
    EXPECT_EQ((std::tuple{s.baud, s.parity, s.dataBits, s.stopBits}),
              (std::tuple{250000u, 'N', 8u, 2u}));
    EXPECT_EQ(line.ops(), (std::vector{Op::Open, Op::SetDmxBaud, Op::ClearRts}));
    EXPECT_TRUE(messages.empty());

    setenv("ORVANE_DMX_PORT", "/dev/ttyFromEnv", 1);
    EXPECT_EQ(output.reset(), 0);
    unsetenv("ORVANE_DMX_PORT");
    EXPECT_EQ(line.opened.back().device, "/dev/ttyFromEnv");
}

TEST_F(OutputTickLine, BreakTickThenFrameTickAndABreakAfterReset) {
    ASSERT_EQ(output.start(), 0);
    line.clear();
    ticks(4);
    EXPECT_EQ(line.ops(), (std::vector{Op::BreakOn, Op::BreakOff, Op::Write, Op::BreakOn,
                                       Op::BreakOff, Op::Write}));
    ticks(1); // break is on
    ASSERT_EQ(output.reset(), 0);
    line.clear();
    ticks(2); // a reopened line starts with a break, not a frame
    EXPECT_EQ(line.ops(), (std::vector{Op::BreakOn, Op::BreakOff, Op::Write}));
}

TEST_F(OutputTickLine, FailedStartShowsMessageAndRunsNoTick) {
    line.openResult = -1;
    EXPECT_EQ(output.start(), -1);
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot open the DMX interface /dev/ttyDMX"});
    EXPECT_EQ(output.portState(), -1);
    line.clear();
    output.keys().scrollLock.press();
    ticks(4);
    EXPECT_TRUE(line.events.empty());
    EXPECT_FALSE(output.autoFadeDisable());

    line.openResult = 0; // "Reset USB <-> DMX" once the device is back
    EXPECT_EQ(output.reset(), 0);
    line.clear();
    ticks(2);
    EXPECT_EQ(line.frames().size(), 1u);
}

TEST_F(OutputTickLine, ScrollLockTogglesOncePerPress) {
    ASSERT_EQ(output.start(), 0);
    KeyState& scrollLock = output.keys().scrollLock;
    uint64_t pokes = uiwake::pokes();
    scrollLock.press();
    ticks(1);
    EXPECT_TRUE(output.autoFadeDisable());
    EXPECT_GT(uiwake::pokes(), pokes) << "the window's resting ticks must show the status";
    EXPECT_EQ(status(), "Auto fade disable");
    ticks(5);
    scrollLock.press(); // auto-repeat while held
    ticks(1);
    EXPECT_TRUE(output.autoFadeDisable());
    EXPECT_EQ(status(), "(none)");

    scrollLock.release();
    ticks(1);
    scrollLock.press(); // a tap between two ticks counts
    scrollLock.release();
    ticks(3);
    EXPECT_FALSE(output.autoFadeDisable());
    EXPECT_EQ(status(), "");
}

TEST_F(OutputTickPty, OneFrameEveryTwoTicksWithStartCodeFirst) {
    output.publish(numbered(1));
    ticks(1);
    EXPECT_TRUE(sentFrames().empty());
    ticks(1);
    EXPECT_EQ(sentFrames(), Frames{frameOf(0, numbered(1))});
    output.publish(numbered(2));
    ticks(20);
    EXPECT_EQ(sentFrames(), Frames(10, frameOf(0, numbered(2))));

    EXPECT_EQ(output.startCodeUp(), 1); // "test1"
    ticks(2);
    EXPECT_EQ(sentFrames(), Frames{frameOf(1, numbered(2))});
    EXPECT_EQ(output.startCodeDown(), 0); // "test2", wrapping
    EXPECT_EQ(output.startCodeDown(), 255);
    ticks(2);
    EXPECT_EQ(sentFrames(), Frames{frameOf(255, numbered(2))});
}

TEST_F(OutputTickPty, AllDmxToZeroReachesLineAndRecordingButNotReplay) {
    output.publish(filled(200));
    output.setAllDmxToZero(true);
    ASSERT_TRUE(output.startRecording(dir.file("rec.bin")));
    ticks(2);
    EXPECT_EQ(sentFrames(), Frames{frameOf(0, filled(0))});

    writeFile(dir.file("replay.bin"), fullRecords(9, 77));
    ASSERT_TRUE(output.startReplay(dir.file("replay.bin")));
    ticks(2);
    EXPECT_EQ(sentFrames(), Frames{frameOf(0, filled(77))});
    // The recording holds the output universe, not the replayed frames.
    EXPECT_EQ(readFile(dir.file("rec.bin")), fullRecords(4, 0));
}

TEST_F(OutputTickPty, RecordThenReplayRoundTrip) {
    // 100 ticks (3 s) of recording: one record a tick.
    ASSERT_TRUE(output.startRecording(dir.file(kRecordingFileName)));
    for (int i = 0; i < 100; ++i) {
        output.publish(numbered(i));
        ticks(1);
        sentFrames(); // keep the pty from filling up
    }
    EXPECT_EQ(status(), "recording dmw raw 100");
    output.stopRecording(); // "Stop"
    ticks(1);
    EXPECT_EQ(status(), "");
    std::string file = readFile(dir.file(kRecordingFileName));
    ASSERT_EQ(file.size(), 51400u);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(file.substr(i * 514, 514), recordOf(numbered(i))) << "record " << i;

    // Three records a tick; a frame tick sends the last one it read.
    output.publish(filled(1));
    alignToFrameTick();
    ASSERT_TRUE(output.startReplay(dir.file(kRecordingFileName)));
    Frames expected;
    for (int r = 1; r <= 33; ++r) {
        ticks(1);
        EXPECT_EQ(status(), "replaying dmx raw " + std::to_string(3 * r));
        if (r % 2 == 1)
            expected.push_back(frameOf(0, numbered(3 * r - 1)));
    }
    ticks(1); // record 100, then the end of the file
    EXPECT_EQ(status(), "");
    ticks(1);
    expected.push_back(frameOf(0, filled(1)));
    EXPECT_EQ(sentFrames(), expected);
}

TEST_F(OutputTickPty, ReplayStopsAtAnOverlongRecord) {
    std::string file;
    for (int i = 0; i < 5; ++i)
        file += rawRecord(512, uint8_t(10 + i));
    file += rawRecord(10, 99) + rawRecord(600, 1) + rawRecord(512, 50);
    writeFile(dir.file(kRecordingFileName), file);
    output.publish(filled(1));
    alignToFrameTick();
    ASSERT_TRUE(output.startReplay(dir.file(kRecordingFileName)));
    ticks(2); // records 1-3 (sent), then 4-6
    EXPECT_EQ(status(), "replaying dmx raw 6");
    ticks(1); // refused: the replay ends, the output universe is sent
    EXPECT_EQ(status(), "");
    EXPECT_EQ(sentFrames(), (Frames{frameOf(0, filled(12)), frameOf(0, filled(1))}));
    EXPECT_FALSE(output.startReplay(dir.file("missing.bin")));
    ticks(2);
    EXPECT_EQ(status(), "(none)");
}

struct StopCase {
    const char* name;
    void (*stop)(DmxOutput&);
};

const StopCase kStopCases[] = {
    {"Shift held", [](DmxOutput& o) { o.keys().shift.press(); }},
    {"Escape tapped",
     [](DmxOutput& o) {
         o.keys().escape.press();
         o.keys().escape.release();
     }},
    {"auto fade disable", [](DmxOutput& o) { o.setAutoFadeDisable(true); }},
};

TEST_F(OutputTickPty, StopKeysEndReplayAndRecording) {
    writeFile(dir.file("r.bin"), fullRecords(30, 9));
    for (const StopCase& c : kStopCases) {
        ASSERT_TRUE(output.startReplay(dir.file("r.bin")));
        ASSERT_TRUE(output.startRecording(dir.file("rec.bin")));
        ticks(3);
        c.stop(output);
        ticks(1); // one more record each way, then both close
        EXPECT_EQ(status(), "") << c.name;
        output.keys().shift.release();
        output.setAutoFadeDisable(false);
        ticks(3);
        EXPECT_EQ(status(), "(none)") << c.name;
        // Valid record by record, nothing after the stop.
        EXPECT_EQ(readFile(dir.file("rec.bin")).size(), 4 * kRecordBytes) << c.name;
    }
}

// Logs the hook calls and feeds one frame-pipe frame when asked.
class PipeHooks : public TickHooks {
public:
    void ipHeartbeat(Milliseconds) override { calls += "H"; }
    void pollFramePipe(Milliseconds nowMs, PipeFrame& pipe) override {
        calls += "F";
        if (feed) {
            pipe.frame = filled(0xAB);
            pipe.hold(nowMs);
            feed = false;
        }
    }
    void pollSystemPipe(Milliseconds) override { calls += "S"; }

    bool feed = false;
    std::string calls;
};

class OutputTickHooks : public ::testing::Test, public TickHarness {
protected:
    OutputTickHooks() : TickHarness(line, "/dev/ttyDMX", &hooks) {}
    PipeHooks hooks;
    RecordingLine line;
};

TEST_F(OutputTickHooks, PipeFrameOverridesOutputForOneSecond) {
    ASSERT_EQ(output.start(), 0);
    ticks(2);
    EXPECT_EQ(hooks.calls, "HFSHFS");
    output.publish(filled(3));
    hooks.feed = true;
    line.clear();
    // Held 1000 ms from the feeding tick: the frames of ticks 2..34 carry it,
    // the frame of tick 36 is the output again.
    ticks(36);
    Frames expected(17, frameOf(0, filled(0xAB)));
    expected.push_back(frameOf(0, filled(3)));
    EXPECT_EQ(line.frames(), expected);
}

} // namespace
} // namespace orvane
