// The outputs behind the tick: the route list, the serial line and OLA side by
// side as the "output" and "olauniverse" settings choose them, and the figures
// and texts of the output monitor.

#include "dmx/dmxoutput.h"
#include "dmx/outputmonitor.h"
#include "fakeolaclient.h"
#include "support/recordingline.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orvane {
namespace {

using namespace test;
using Op = RecordingLine::Op;

// A sink that keeps what the tick gave it: "B" for a prepared frame, "F" for
// a frame, and the frames themselves.
struct LoggingSink : OutputSink {
    void beforeFrame() override { calls += "B"; }
    void sendFrame(std::span<const uint8_t> f, Nanoseconds) override {
        calls += "F";
        frames.emplace_back(f.begin(), f.end());
    }
    std::string calls;
    std::vector<Frame> frames;
};

TEST(OutputRoutes, EveryRouteSwitchedOnGetsTheSameFramesAtTheSameCadence) {
    OutputShared shared;
    LoggingSink a, b;
    int ra = shared.routes.add(kComposedUniverse, a);
    int rb = shared.routes.add(kComposedUniverse, b);
    OutputTick tick(shared);
    shared.output.publish(numbered(5));
    int64_t now = 1000;
    auto ticks = [&](int n) {
        for (int i = 0; i < n; ++i)
            tick.run(now += kTickPeriodMs);
    };
    ticks(4); // nothing switched on: no output at all
    EXPECT_EQ(a.calls + b.calls, "");

    shared.routes.setEnabled(ra, true);
    shared.routes.setEnabled(rb, true);
    shared.startCode.store(3);
    ticks(4);
    EXPECT_EQ(a.calls, "BFBF");
    EXPECT_EQ(b.calls, "BFBF");
    EXPECT_EQ(a.frames, (std::vector<Frame>(2, frameOf(3, numbered(5)))));
    EXPECT_EQ(b.frames, a.frames);

    shared.routes.setEnabled(ra, false);
    ticks(2);
    EXPECT_EQ(a.calls, "BFBF");
    EXPECT_EQ(b.calls, "BFBFBF");
}

TEST(SerialSink, AFrameAlwaysFollowsABreakAndOnlyWholeWritesCount) {
    RecordingLine line;
    line.isOpen = true;
    SerialSink sink(line);
    Frame f = frameOf(0, filled(1));
    sink.sendFrame(f, 1000ms); // switched on between break and frame
    EXPECT_TRUE(line.events.empty());
    sink.beforeFrame();
    sink.sendFrame(f, 1060ms);
    line.isOpen = false; // the interface is unplugged
    sink.beforeFrame();
    sink.sendFrame(f, 1120ms);
    EXPECT_EQ(line.ops(), (std::vector{Op::BreakOn, Op::BreakOff, Op::Write, Op::BreakOn,
                                       Op::BreakOff, Op::Write}));
    SinkReading r = sink.stats().read(1120ms);
    EXPECT_EQ(r.frames, 1u);
    EXPECT_EQ(r.errors, 1u);
}

// A DmxOutput without output thread on a recording line, with a scripted olad
// and the output settings of the profile.
class OutputChoiceTest : public ::testing::Test {
protected:
    OutputChoiceTest() { unsetenv("ORVANE_DMX_PORT"); }

    DmxOutput& make(std::string output, std::string universe = "") {
        DmxOutputOptions o;
        o.message = [this](std::string_view, std::string_view text) {
            messages.emplace_back(text);
        };
        o.dmxPortSetting = [] { return "/dev/ttyDMX"; };
        o.outputSetting = [output] { return output; };
        o.olaUniverseSetting = [universe] { return universe; };
        o.ola = fakeOlaOptions(ola);
        o.runThread = false;
        dmx = std::make_unique<DmxOutput>(line, o);
        return *dmx;
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            dmx->runTick(now += kTickPeriodMs);
    }
    // Ticks through n frames, each waiting until olad has it.
    void olaFrames(int n) {
        for (int i = 0; i < n; ++i) {
            std::size_t before = ola->frames().size();
            ticks(2);
            ASSERT_TRUE(ola->waitFor([&] { return ola->sent.size() > before; }));
        }
    }
    std::vector<Universe> olaSlots() {
        std::vector<Universe> out;
        for (const FakeOla::Sent& s : ola->frames())
            out.push_back(s.slots);
        return out;
    }

    RecordingLine line;
    std::shared_ptr<FakeOla> ola = std::make_shared<FakeOla>();
    std::vector<std::string> messages;
    std::unique_ptr<DmxOutput> dmx;
    int64_t now = 500000;
};

TEST_F(OutputChoiceTest, SerialAndOlaCarryTheSameUniverse) {
    DmxOutput& out = make("Serial + OLA", "3");
    out.publish(numbered(9));
    ASSERT_EQ(out.start(), 0);
    ASSERT_TRUE(eventually([&] { return out.ola().state() == OlaState::Connected; }));
    olaFrames(3);
    EXPECT_EQ(line.frames(), (std::vector<Frame>(3, frameOf(0, numbered(9)))));
    EXPECT_EQ(olaSlots(), (std::vector<Universe>(3, numbered(9))));
    EXPECT_EQ(ola->frames().back().universe, 3u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(OutputChoiceTest, OlaAloneOpensNoSerialLine) {
    DmxOutput& out = make("ola");
    out.publish(filled(4));
    ASSERT_EQ(out.start(), 0);
    ASSERT_TRUE(eventually([&] { return out.ola().state() == OlaState::Connected; }));
    olaFrames(2);
    EXPECT_TRUE(line.events.empty());
    EXPECT_EQ(out.portState(), -1);
    EXPECT_EQ(olaSlots(), (std::vector<Universe>(2, filled(4))));
    EXPECT_EQ(ola->frames().back().universe, 1u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(OutputChoiceTest, AMissingSerialInterfaceLeavesOlaRunning) {
    DmxOutput& out = make("serial+ola");
    line.openResult = -1;
    EXPECT_EQ(out.start(), -1);
    EXPECT_EQ(messages, std::vector<std::string>{"Cannot open the DMX interface /dev/ttyDMX"});
    ASSERT_TRUE(eventually([&] { return out.ola().state() == OlaState::Connected; }));
    olaFrames(2);
    EXPECT_TRUE(line.frames().empty());
}

TEST_F(OutputChoiceTest, ResetLeavingOlaOutStopsSendingToIt) {
    std::string setting = "serial+ola";
    DmxOutputOptions o;
    o.outputSetting = [&setting] { return setting; };
    o.dmxPortSetting = [] { return "/dev/ttyDMX"; };
    o.ola = fakeOlaOptions(ola);
    o.runThread = false;
    dmx = std::make_unique<DmxOutput>(line, o);
    ASSERT_EQ(dmx->start(), 0);
    ASSERT_TRUE(eventually([&] { return dmx->ola().state() == OlaState::Connected; }));
    olaFrames(1);
    setting = "serial";
    ASSERT_EQ(dmx->reset(), 0);
    ASSERT_TRUE(eventually([&] { return dmx->ola().state() == OlaState::Off; }));
    std::size_t sent = ola->frames().size();
    line.clear();
    ticks(6);
    EXPECT_EQ(line.frames().size(), 3u);
    EXPECT_EQ(ola->frames().size(), sent);

    setting = "serial+ola"; // and back
    ASSERT_EQ(dmx->reset(), 0);
    ASSERT_TRUE(eventually([&] { return dmx->ola().state() == OlaState::Connected; }));
    olaFrames(1);
}

struct BadSetting {
    const char* output;
    const char* universe;
    const char* message;
};

TEST_F(OutputChoiceTest, SettingsNotUnderstoodAreSaidAndTheDefaultsUsed) {
    const BadSetting cases[] = {
        {"usb", "",
         "Setting output=usb is not serial, ola or serial+ola: DMX goes to the "
         "serial line only"},
        {"ola", "one",
         "Setting olauniverse=one is not a universe number (0 to 4294967295): "
         "OLA universe 1 is used"},
    };
    for (const BadSetting& c : cases) {
        messages.clear();
        line.clear();
        make(c.output, c.universe);
        EXPECT_EQ(dmx->start(), 0) << c.output;
        ASSERT_FALSE(messages.empty()) << c.output;
        EXPECT_EQ(messages[0], c.message);
    }
}

TEST_F(OutputChoiceTest, OlaAskedForInAProgramWithoutOla) {
    DmxOutputOptions o;
    o.message = [this](std::string_view, std::string_view text) { messages.emplace_back(text); };
    o.outputSetting = [] { return "ola"; };
    o.ola.makeClient = [] { return std::unique_ptr<OlaClient>(); };
    o.runThread = false;
    dmx = std::make_unique<DmxOutput>(line, o);
    EXPECT_EQ(dmx->start(), -1);
    EXPECT_EQ(messages, std::vector<std::string>{kOlaMissingText});
    EXPECT_TRUE(line.events.empty());
}

struct ChoiceCase {
    const char* output;
    const char* universe;
    OutputChoice expected;
    bool problem;
};

TEST(ChooseOutputs, ReadsTheTwoSettings) {
    const ChoiceCase cases[] = {
        {"", "", {true, false, 1}, false},
        {"serial", "", {true, false, 1}, false},
        {"OLA", " 12 ", {false, true, 12}, false},
        {" serial + ola ", "4294967295", {true, true, 4294967295u}, false},
        {"ola+serial", "0", {true, true, 0}, false},
        {"serial+", "", {true, false, 1}, true},
        {"ola+ola", "2", {true, false, 2}, true},
        {"ola", "4294967296", {false, true, 1}, true},
        {"ola", "-1", {false, true, 1}, true},
    };
    for (const ChoiceCase& c : cases) {
        std::string problem;
        EXPECT_EQ(chooseOutputs(c.output, c.universe, &problem), c.expected)
            << c.output << " / " << c.universe;
        EXPECT_EQ(!problem.empty(), c.problem) << c.output << " / " << c.universe;
    }
}

// Frame times from `from` to `to` (inclusive) every `step` ms, after `head`.
std::vector<int64_t> framesAt(std::vector<int64_t> head, int64_t from = 0, int64_t to = -1,
                              int64_t step = 60) {
    for (int64_t t = from; t <= to; t += step)
        head.push_back(t);
    return head;
}

struct PeriodCase {
    const char* name;
    std::vector<int64_t> framesMs;
    int64_t readMs;
    int64_t worstMs;
};

TEST(SinkStats, WorstPeriodOfTheLastTenSeconds) {
    const PeriodCase cases[] = {
        {"no frame", {}, 5000, 0},
        {"one frame: the time since it", {1000}, 1050, 50},
        {"steady", framesAt({}, 1000, 1180), 1200, 60},
        {"a late frame", {1000, 1060, 1150, 1210}, 1220, 90},
        {"a gap still open", {1000, 1060}, 1500, 440},
        {"a late frame ten seconds ago is forgotten", framesAt({1000, 1200}, 1260, 21420), 21430,
         60},
        {"a late frame nine seconds ago is not", framesAt({1000, 1200}, 1260, 10980), 10990, 200},
    };
    for (const PeriodCase& c : cases) {
        SinkStats stats;
        for (int64_t t : c.framesMs)
            stats.frameSent(Milliseconds{t});
        SinkReading r = stats.read(Milliseconds{c.readMs});
        EXPECT_EQ(toMs(r.worstPeriod).count(), c.worstMs) << c.name;
        EXPECT_EQ(r.frames, c.framesMs.size()) << c.name;
    }
}

TEST(SinkStats, ANewSeriesDoesNotCountTheGapBeforeIt) {
    SinkStats stats;
    stats.frameSent(1000ms);
    stats.restartSeries();
    stats.frameSent(4000ms);
    stats.frameSent(4060ms);
    stats.writeError();
    stats.framesDropped(3);
    SinkReading r = stats.read(4070ms);
    EXPECT_EQ(r.worstPeriod, 60ms);
    EXPECT_EQ((std::tuple{r.frames, r.errors, r.dropped}), (std::tuple{3u, 1u, 3u}));
}

TEST_F(OutputChoiceTest, MonitorShowsEachOutputsFiguresAndOneAlertPerOutage) {
    DmxOutput& out = make("serial+ola");
    ola->set(&FakeOla::reachable, false);
    ASSERT_EQ(out.start(), 0);
    OutputMonitor monitor(out, Milliseconds{now});
    ASSERT_TRUE(eventually([&] { return out.ola().outages() == 1; }));
    ticks(34); // about a second: 17 frames, one every 60 ms
    OutputMonitor::Sample s = monitor.sample(Milliseconds{now});
    EXPECT_EQ(s.text, "Serial: 16.7 frames/s, worst 60.0 ms, 0 write errors    OLA universe 1: "
                      "not reachable (olad at 127.0.0.1:9010: Connection refused), retrying");
    EXPECT_TRUE(s.olaUnreachable);
    EXPECT_FALSE(s.olaBack);
    EXPECT_EQ(monitor.olaUnreachableDetail(),
              "olad at 127.0.0.1:9010, universe 1 (Connection refused); retrying every 0.0 s");
    ticks(34);
    EXPECT_FALSE(monitor.sample(Milliseconds{now}).olaUnreachable); // said once

    ola->set(&FakeOla::reachable, true);
    ASSERT_TRUE(eventually([&] { return out.ola().state() == OlaState::Connected; }));
    line.isOpen = false; // the interface is unplugged: every write fails
    olaFrames(17);
    s = monitor.sample(Milliseconds{now});
    EXPECT_EQ(s.text.substr(0, s.text.find("    ")),
              "Serial: 0.0 frames/s, worst 1020.0 ms, 17 write errors");
    std::string olaPart = s.text.substr(std::min(s.text.find("OLA universe 1: "), s.text.size()));
    EXPECT_NE(olaPart.find(" frames/s, worst "), std::string::npos) << s.text;
    EXPECT_NE(olaPart.find(", 0 write errors"), std::string::npos) << s.text;
    EXPECT_FALSE(s.olaUnreachable);
    EXPECT_TRUE(s.olaBack);
    EXPECT_EQ(monitor.olaBackDetail(), "olad at 127.0.0.1:9010, universe 1");
    EXPECT_FALSE(monitor.sample(Milliseconds{now}).olaBack); // said once
}

} // namespace
} // namespace orvane
