// The output tick driven tick by tick (no thread): line phases and frames on a
// pseudo-terminal, start code, "All dmx to 0", recording and replay of
// dmxraw.bin, Scroll Lock and the stop keys, DMX start and reset.

#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "support/pty.h"
#include "support/recordingline.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orvane {
namespace {

using test::PtyPair;
using test::readFile;
using test::RecordingLine;
using test::TempDir;
using test::writeFile;
using Op = RecordingLine::Op;
using Frame = std::vector<uint8_t>;

Universe filled(uint8_t value) {
    Universe u;
    u.fill(value);
    return u;
}

Universe numbered(int n) {
    Universe u;
    for (int i = 0; i < kUniverseSize; ++i)
        u[i] = uint8_t(n + i);
    return u;
}

Frame frameOf(uint8_t startCode, const Universe& u) {
    Frame f(kFrameBytes, startCode);
    std::copy(u.begin(), u.end(), f.begin() + 1);
    return f;
}

std::string rawRecord(std::size_t length, uint8_t value) {
    std::string r{char(length & 0xff), char(length >> 8)};
    r.append(length, char(value));
    return r;
}

std::string recordOf(const Universe& u) {
    return std::string("\x00\x02", 2) + std::string(u.begin(), u.end());
}

std::string fullRecords(int count, uint8_t value) {
    std::string r;
    for (int i = 0; i < count; ++i)
        r += rawRecord(512, value);
    return r;
}

struct Message {
    std::string title, text;
};

// Common to the pty and the recording-line fixtures.
class TickHarness {
public:
    explicit TickHarness(DmxLine& line, TickHooks* hooks = nullptr) : output(line, options(hooks)) {
        unsetenv("ORVANE_DMX_PORT");
    }

    DmxOutputOptions options(TickHooks* hooks) {
        DmxOutputOptions o;
        o.message = [this](std::string_view title, std::string_view text) {
            messages.push_back({std::string(title), std::string(text)});
        };
        o.dmxPortSetting = [this] { return device; };
        o.hooks = hooks;
        o.runThread = false;
        return o;
    }

    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            now += kTickPeriodMs;
            output.runTick(now);
        }
    }

    // The latest status text, or "(none)" when nothing was posted.
    std::string status() { return output.pollStatus().value_or("(none)"); }

    std::string device;
    std::vector<Message> messages;
    int64_t now = 100000;
    DmxOutput output;
};

class OutputTickPty : public ::testing::Test, public TickHarness {
protected:
    OutputTickPty() : TickHarness(line) {}
    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        device = pty.slavePath();
        ASSERT_EQ(output.start(), 0);
    }

    // Ticks until the next tick is a frame tick; drops what was sent.
    void alignToFrameTick() {
        ticks(1);
        if (!sentFrames().empty())
            ticks(1);
        sentFrames();
    }

    // Frames the line produced since the last call, split at 513 bytes.
    std::vector<Frame> sentFrames() {
        std::vector<uint8_t> bytes = pty.drain();
        EXPECT_EQ(bytes.size() % kFrameBytes, 0u);
        std::vector<Frame> frames;
        for (std::size_t at = 0; at + kFrameBytes <= bytes.size(); at += kFrameBytes)
            frames.emplace_back(bytes.begin() + at, bytes.begin() + at + kFrameBytes);
        return frames;
    }

    PtyPair pty;
    SerialLine line{[this](std::string_view title, std::string_view text) {
        messages.push_back({std::string(title), std::string(text)});
    }};
    TempDir dir;
};

class OutputTickLine : public ::testing::Test, public TickHarness {
protected:
    OutputTickLine() : TickHarness(line) { device = "/dev/ttyDMX"; }
    RecordingLine line;
};

TEST_F(OutputTickLine, StartOpensDmxSettingsAndForcesBaud) {
    ASSERT_EQ(output.start(), 0);
    ASSERT_EQ(line.opened.size(), 1u);
    const LineSettings& s = line.opened[0];
    EXPECT_EQ(s.device, "/dev/ttyDMX");
    EXPECT_EQ(s.baud, 250000u);
    EXPECT_EQ(s.parity, 'N');
    EXPECT_EQ(s.dataBits, 8u);
    EXPECT_EQ(s.stopBits, 2u);
    EXPECT_EQ(line.ops(), (std::vector{Op::Open, Op::SetDmxBaud, Op::ClearRts}));
    EXPECT_TRUE(output.tickRunning());
    EXPECT_TRUE(messages.empty());

    setenv("ORVANE_DMX_PORT", "/dev/ttyFromEnv", 1);
    EXPECT_EQ(output.reset(), 0);
    unsetenv("ORVANE_DMX_PORT");
    EXPECT_EQ(line.opened.back().device, "/dev/ttyFromEnv");
}

TEST_F(OutputTickLine, BreakTickThenFrameTick) {
    ASSERT_EQ(output.start(), 0);
    line.clear();
    output.publish(numbered(3));
    ticks(4);
    EXPECT_EQ(line.ops(), (std::vector{Op::BreakOn, Op::BreakOff, Op::Write, Op::BreakOn,
                                       Op::BreakOff, Op::Write}));
    for (const Frame& f : line.frames())
        EXPECT_EQ(f, frameOf(0, numbered(3)));
}

TEST_F(OutputTickLine, FailedStartShowsMessageAndSendsNothing) {
    line.openResult = -1;
    EXPECT_EQ(output.start(), -1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Can't initialize COM port");
    EXPECT_EQ(output.portState(), -1);
    EXPECT_FALSE(output.tickRunning());
    line.clear();
    ticks(4);
    EXPECT_TRUE(line.events.empty());

    // "Reset USB <-> DMX" once the device is back.
    line.openResult = 0;
    EXPECT_EQ(output.reset(), 0);
    line.clear();
    ticks(2);
    EXPECT_EQ(line.frames().size(), 1u);
}

TEST_F(OutputTickLine, ResetStartsAgainWithABreak) {
    ASSERT_EQ(output.start(), 0);
    ticks(1); // break is on
    ASSERT_EQ(output.reset(), 0);
    line.clear();
    ticks(2);
    EXPECT_EQ(line.ops(), (std::vector{Op::BreakOn, Op::BreakOff, Op::Write}));
}

TEST_F(OutputTickPty, OneFrameEveryTwoTicksWithStartCodeFirst) {
    output.publish(numbered(1));
    ticks(1);
    EXPECT_TRUE(sentFrames().empty()); // the break tick
    ticks(1);
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(0, numbered(1))});
    output.publish(numbered(2));
    ticks(20);
    std::vector<Frame> frames = sentFrames();
    ASSERT_EQ(frames.size(), 10u);
    for (const Frame& f : frames)
        EXPECT_EQ(f, frameOf(0, numbered(2)));
}

TEST_F(OutputTickPty, StartCodeButtonsWrap) {
    EXPECT_EQ(output.startCodeUp(), 1);
    output.publish(filled(5));
    ticks(2);
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(1, filled(5))});
    EXPECT_EQ(output.startCodeDown(), 0);
    EXPECT_EQ(output.startCodeDown(), 255);
    ticks(2);
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(255, filled(5))});
    EXPECT_EQ(output.startCodeUp(), 0);
}

TEST_F(OutputTickPty, AllDmxToZeroReachesLineAndRecordingButNotReplay) {
    output.publish(filled(200));
    output.setAllDmxToZero(true);
    ASSERT_TRUE(output.startRecording(dir.file("rec.bin")));
    ticks(2);
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(0, filled(0))});
    EXPECT_EQ(readFile(dir.file("rec.bin")), fullRecords(2, 0));

    // A replay is sent as recorded; the recording keeps the output universe.
    writeFile(dir.file("replay.bin"), fullRecords(9, 77));
    ASSERT_TRUE(output.startReplay(dir.file("replay.bin")));
    ticks(2);
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(0, filled(77))});
    EXPECT_EQ(readFile(dir.file("rec.bin")), fullRecords(4, 0));

    output.setAllDmxToZero(false);
    ticks(2); // records 7-9, then the end of the file on the frame tick
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(0, filled(200))});
}

TEST_F(OutputTickPty, RecordThenReplayRoundTrip) {
    // 100 ticks of recording (3 s): one 514-byte record per tick.
    ASSERT_TRUE(output.startRecording(dir.file(kRecordingFileName)));
    for (int i = 0; i < 100; ++i) {
        output.publish(numbered(i));
        ticks(1);
        sentFrames(); // keep the pty from filling up
    }
    EXPECT_EQ(status(), "recording dmw raw 100");
    output.stopRecording();
    ticks(1);
    EXPECT_EQ(status(), "");
    std::string file = readFile(dir.file(kRecordingFileName));
    ASSERT_EQ(file.size(), 51400u);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(file.substr(i * 514, 514), recordOf(numbered(i))) << "record " << i;

    // Replay: three records a tick; a frame tick sends the last one it read.
    output.publish(filled(1));
    alignToFrameTick();
    ASSERT_TRUE(output.startReplay(dir.file(kRecordingFileName)));
    std::vector<Frame> expected;
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

TEST_F(OutputTickPty, ReplayWithShortAndOverlongRecords) {
    std::string file;
    for (int i = 0; i < 5; ++i)
        file += rawRecord(512, uint8_t(10 + i));
    file += rawRecord(10, 99) + rawRecord(600, 1) + rawRecord(512, 50);
    writeFile(dir.file(kRecordingFileName), file);
    output.publish(filled(1));
    alignToFrameTick();
    ASSERT_TRUE(output.startReplay(dir.file(kRecordingFileName)));

    ticks(1); // records 1-3: frame tick
    ticks(1); // records 4-6: the short one lands on record 5
    EXPECT_EQ(status(), "replaying dmx raw 6");
    ticks(1); // the overlong record stops the replay
    EXPECT_EQ(status(), "");
    ticks(1);
    Universe shortOverFifth = filled(14);
    std::fill(shortOverFifth.begin(), shortOverFifth.begin() + 10, 99);
    EXPECT_EQ(sentFrames(), (std::vector<Frame>{frameOf(0, filled(12)), frameOf(0, filled(1))}));

    // The short record's effect shows when it is the last one of a frame tick.
    writeFile(dir.file("b.bin"), fullRecords(5, 14) + rawRecord(10, 99));
    alignToFrameTick();
    ticks(1); // a frame tick, so the replay below starts on a break tick
    sentFrames();
    ASSERT_TRUE(output.startReplay(dir.file("b.bin")));
    ticks(2);
    EXPECT_EQ(sentFrames(), std::vector<Frame>{frameOf(0, shortOverFifth)});
    ticks(1);
    EXPECT_EQ(status(), "");
}

TEST_F(OutputTickPty, MissingReplayFileChangesNothing) {
    ASSERT_TRUE(output.startRecording(dir.file("rec.bin")));
    ticks(1);
    EXPECT_EQ(status(), "recording dmw raw 1");
    EXPECT_FALSE(output.startReplay(dir.file("missing.bin")));
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

TEST_F(OutputTickPty, ReplayStopsAfterOneRecordOnStopKeys) {
    writeFile(dir.file("r.bin"), fullRecords(30, 9));
    for (const StopCase& c : kStopCases) {
        ASSERT_TRUE(output.startReplay(dir.file("r.bin")));
        ticks(1);
        EXPECT_EQ(status(), "replaying dmx raw 3") << c.name;
        c.stop(output);
        ticks(1);
        EXPECT_EQ(status(), "") << c.name;
        output.keys().shift.release();
        output.setAutoFadeDisable(false);
        ticks(1);
        EXPECT_EQ(status(), "(none)") << c.name; // stopped for good
    }
}

TEST_F(OutputTickPty, RecordingStopsOnStopKeysAndStaysValid) {
    for (const StopCase& c : kStopCases) {
        std::string path = dir.file("rec.bin");
        ASSERT_TRUE(output.startRecording(path));
        ticks(3);
        c.stop(output);
        ticks(1); // writes its record, then closes
        EXPECT_EQ(status(), "") << c.name;
        output.keys().shift.release();
        output.setAutoFadeDisable(false);
        ticks(3);
        EXPECT_EQ(readFile(path).size(), 4 * kRecordBytes) << c.name;
    }
    // "Stop" ends a recording before the next record.
    ASSERT_TRUE(output.startRecording(dir.file("rec.bin")));
    ticks(2);
    output.stopRecording();
    ticks(2);
    EXPECT_EQ(status(), "");
    EXPECT_EQ(readFile(dir.file("rec.bin")).size(), 2 * kRecordBytes);
}

TEST_F(OutputTickLine, ScrollLockTogglesOncePerPress) {
    ASSERT_EQ(output.start(), 0);
    KeyState& scrollLock = output.keys().scrollLock;
    scrollLock.press();
    ticks(1);
    EXPECT_TRUE(output.autoFadeDisable());
    EXPECT_EQ(status(), "Auto fade disable");
    ticks(5); // held, and auto-repeat presses while held
    scrollLock.press();
    ticks(1);
    EXPECT_TRUE(output.autoFadeDisable());
    EXPECT_EQ(status(), "(none)");

    scrollLock.release();
    ticks(1);
    // A tap between two ticks still counts.
    scrollLock.press();
    scrollLock.release();
    ticks(1);
    EXPECT_FALSE(output.autoFadeDisable());
    EXPECT_EQ(status(), "");
    ticks(3);
    EXPECT_FALSE(output.autoFadeDisable());

    // The flag set from the window ("Show Time !" clears it) toggles from there.
    output.setAutoFadeDisable(true);
    scrollLock.press();
    ticks(1);
    EXPECT_FALSE(output.autoFadeDisable());
}

TEST_F(OutputTickLine, TickIsNotRunningBeforeStart) {
    ticks(3);
    EXPECT_TRUE(line.events.empty());
    output.keys().scrollLock.press();
    ticks(1);
    EXPECT_FALSE(output.autoFadeDisable());
}

// Hooks that feed a frame-pipe frame on chosen ticks and log their calls.
class PipeHooks : public TickHooks {
public:
    void ipHeartbeat(int64_t) override { calls += "H"; }
    void pollFramePipe(int64_t nowMs, PipeFrame& pipe) override {
        calls += "F";
        if (feed) {
            pipe.frame = filled(0xAB);
            pipe.hold(nowMs);
            feed = false;
        }
    }
    void pollSystemPipe(int64_t) override { calls += "S"; }

    bool feed = false;
    std::string calls;
};

class OutputTickHooks : public ::testing::Test, public TickHarness {
protected:
    OutputTickHooks() : TickHarness(line, &hooks) { device = "/dev/ttyDMX"; }
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
    // Held for 1000 ms after the tick that fed it: the frames of ticks 2..34
    // carry it, the frame of tick 36 is the output again.
    ticks(36);
    std::vector<Frame> frames = line.frames();
    ASSERT_EQ(frames.size(), 18u);
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], frameOf(0, filled(i < 17 ? 0xAB : 3))) << "frame " << i;
}

} // namespace
} // namespace orvane
