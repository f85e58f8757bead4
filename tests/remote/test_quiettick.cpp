// The output tick with the pipes in it: with a client on each pipe and
// nothing coming in, a tick polls both pipes with one system call and
// allocates nothing; with the serial line on, the line's break and frame
// writes are the only other calls, at the usual cadence and at a chosen rate.

#include "dmx/outputtick.h"
#include "dmx/serialline.h"
#include "dmx/serialsink.h"
#include "remote/remotecontrol.h"
#include "sockets.h"
#include "support/allocationcount.h"
#include "support/pty.h"
#include "support/scheduledticks.h"
#include "support/syscallcount.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <sys/ioctl.h>
#include <sys/syscall.h>

namespace orvane {
namespace {

using namespace test;

// Both pipes with a quiet client each, and the serial line on a pty.
class PipeTicks {
public:
    explicit PipeTicks(const FrameTiming& timing)
        : m_remote(options()), m_tick(m_shared, &m_remote.tickHooks()),
          m_ticks(m_tick, FrameSchedule(timing, 1000s)) {
        m_remote.createPipeServers();
        m_frameClient = Fd(connectLocal(m_dir.file("pipes/orvanepipeserver")));
        m_systemClient = Fd(connectLocal(m_dir.file("pipes/orvanesystemserver")));
        LineSettings settings;
        settings.device = m_pty.slavePath();
        m_lineOpen = m_pty.ok() && m_line.open(settings) == 0;
        m_shared.routes.setEnabled(m_shared.routes.add(kComposedUniverse, m_serial), true);
    }
    bool ready() const {
        return m_lineOpen && m_frameClient.get() >= 0 && m_systemClient.get() >= 0;
    }

    // The next deadlines of the schedule, and what they hold.
    void run(int deadlines) { m_ticks.run(deadlines); }
    std::pair<uint64_t, uint64_t> ahead(int deadlines) const { return m_ticks.ahead(deadlines); }
    void drainLine() { m_pty.drain(); }

private:
    RemoteOptions options() {
        RemoteOptions o;
        o.pipeFolder = m_dir.file("pipes");
        return o;
    }

    TempDir m_dir;
    RemoteControl m_remote;
    OutputShared m_shared;
    PtyPair m_pty;
    SerialLine m_line{nullptr};
    SerialSink m_serial{m_line};
    OutputTick m_tick;
    Fd m_frameClient, m_systemClient;
    bool m_lineOpen = false;
    ScheduledTicks m_ticks;
};

struct CadenceCase {
    const char* name;
    FrameTiming timing;
    int deadlines; // a second's worth
};

TEST(QuietTick, OnePollForBothPipesAndTheLinesOwnCallsNothingElse) {
    const CadenceCase cases[] = {
        {"usual cadence", {}, 34},
        {"40 frames a second", {40, 200us}, 3 * 40},
    };
    for (const CadenceCase& c : cases) {
        PipeTicks ticks(c.timing);
        ASSERT_TRUE(ticks.ready());
        ticks.run(10); // both clients are taken

        uint64_t before = allocationsOnThisThread();
        ticks.run(c.deadlines);
        EXPECT_EQ(allocationsOnThisThread() - before, 0u) << c.name;
        ticks.drainLine();

        const std::vector<ExpectedCall> expected = {
            {"pipe poll", __NR_epoll_wait},
            {"pipe poll", __NR_epoll_pwait},
            {"break on", __NR_ioctl, 1, TIOCSBRK},
            {"break off", __NR_ioctl, 1, TIOCCBRK},
            {"frame write", __NR_write, 2, kFrameBytes, 2},
        };
        auto [serves, frames] = ticks.ahead(c.deadlines);
        CallCounts calls = countSystemCalls(expected, [&] { ticks.run(c.deadlines); });
        if (!calls.checked)
            GTEST_SKIP() << calls.why;
        EXPECT_TRUE(calls.completed) << c.name << ": " << calls.ending;
        ASSERT_EQ(calls.counts.size(), expected.size());
        EXPECT_EQ(calls.counts[0] + calls.counts[1], serves) << c.name;
        EXPECT_EQ((std::vector<uint64_t>{calls.counts.begin() + 2, calls.counts.end()}),
                  (std::vector<uint64_t>{frames, frames, frames}))
            << c.name;
    }
}

} // namespace
} // namespace orvane
