// The output thread's share of OLA is a copy into the sender's mailbox. A tick
// with OLA switched on makes no system call and no allocation, even while the
// sender is stuck in a send to a peer that stopped reading. With the serial
// line and a recording as well, at the usual cadence and at a chosen rate, the
// only system calls are the line's own break and frame writes, as many as the
// frames sent, and the wake of a resting window for the status line.

#include "dmx/olasink.h"
#include "dmx/outputtick.h"
#include "dmx/recordingwriter.h"
#include "dmx/serialline.h"
#include "dmx/serialsink.h"
#include "dmx/uiwake.h"
#include "fakeolaclient.h"
#include "support/allocationcount.h"
#include "support/pty.h"
#include "support/scheduledticks.h"
#include "support/syscallcount.h"
#include "support/tempdir.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <new>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane {
namespace {

using namespace test;

constexpr int kChildSkipped = 2;

// From here on the calling process may only end: any other system call kills
// it with SIGSYS.
bool allowNothingButExit() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_exit_group, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

class OlaTicks {
public:
    explicit OlaTicks(OlaSink& sink) : m_tick(m_shared) {
        m_shared.routes.setEnabled(m_shared.routes.add(kComposedUniverse, sink), true);
        m_shared.output.publish(numbered(3));
    }
    // Tick times are given, so the ticks themselves read no clock.
    void run(int count) {
        for (int i = 0; i < count; ++i) {
            m_nowMs += kTickPeriodMs;
            m_tick.runAt(Milliseconds{m_nowMs});
        }
    }

private:
    OutputShared m_shared;
    OutputTick m_tick;
    int64_t m_nowMs = 100000;
};

TEST(OlaOnTheOutputThread, TicksNeitherCallTheSystemNorAllocate) {
    auto ola = std::make_shared<FakeOla>();
    OlaSink sink(fakeOlaOptions(ola));
    ASSERT_EQ(sink.start(1), OlaSink::StartResult::Started);
    ASSERT_TRUE(eventually([&] { return sink.state() == OlaState::Connected; }));
    OlaTicks ticks(sink);
    ola->set(&FakeOla::holdSends, true);
    ticks.run(2);
    ASSERT_TRUE(ola->waitFor([&] { return ola->sendsInProgress == 1; }));

    uint64_t before = allocationsOnThisThread();
    ticks.run(100);
    EXPECT_EQ(allocationsOnThisThread() - before, 0u);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (!allowNothingButExit())
            syscall(SYS_exit_group, kChildSkipped);
        ticks.run(100);
        syscall(SYS_exit_group, 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ola->set(&FakeOla::holdSends, false);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kChildSkipped)
        GTEST_SKIP() << "no seccomp filter here: the system calls were not checked";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << (WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                : "exit " + std::to_string(WEXITSTATUS(status)));
    // The frames went nowhere but the mailbox: the sender got the newest.
    EXPECT_TRUE(ola->waitFor([&] { return ola->sent.size() >= 2; }));
}

// Every output the tick serves, switched on: the serial line on a
// pseudo-terminal, OLA (connected), and a recording with its writer thread.
class BusyTicks {
public:
    BusyTicks(OlaSink& ola, const FrameTiming& timing)
        : m_serial(m_line), m_tick(m_shared), m_ticks(m_tick, FrameSchedule(timing, 1000s)) {
        LineSettings settings;
        settings.device = m_pty.slavePath();
        m_lineOpen = m_pty.ok() && m_line.open(settings) == 0;
        m_shared.routes.setEnabled(m_shared.routes.add(kComposedUniverse, m_serial), true);
        m_shared.routes.setEnabled(m_shared.routes.add(kComposedUniverse, ola), true);
        m_shared.output.publish(numbered(5));
        m_shared.record.offer(openForRecording(m_dir.file(kRecordingFileName)));
        m_writer.wake();
    }
    bool ready() const { return m_lineOpen; }

    // The next deadlines of the schedule, and what they hold.
    void run(int deadlines) { m_ticks.run(deadlines); }
    std::pair<uint64_t, uint64_t> ahead(int deadlines) const { return m_ticks.ahead(deadlines); }
    // What the line took (the pty must not fill up).
    void drainLine() { m_pty.drain(); }

private:
    TempDir m_dir;
    PtyPair m_pty;
    SerialLine m_line{nullptr};
    bool m_lineOpen = false;
    OutputShared m_shared;
    SerialSink m_serial;
    RecordingWriter m_writer{m_shared.recordRing, m_shared.record, m_shared.recordFailed};
    OutputTick m_tick;
    ScheduledTicks m_ticks;
};

struct CadenceCase {
    const char* name;
    FrameTiming timing;
    int deadlines; // a second's worth
};

TEST(OutputTickCalls, OnlyTheLinesBreaksAndFramesWithOlaAndARecording) {
    const CadenceCase cases[] = {
        {"usual cadence", {}, 34},
        {"40 frames a second", {40, 200us}, 3 * 40},
    };
    // The window rests: the recording's count in the status line wakes it.
    int wakeFd = uiwake::descriptor();
    ASSERT_GE(wakeFd, 0);
    uiwake::setResting(true);
    auto ola = std::make_shared<FakeOla>();
    OlaSink sink(fakeOlaOptions(ola));
    ASSERT_EQ(sink.start(1), OlaSink::StartResult::Started);
    ASSERT_TRUE(eventually([&] { return sink.state() == OlaState::Connected; }));
    for (const CadenceCase& c : cases) {
        BusyTicks ticks(sink, c.timing);
        ASSERT_TRUE(ticks.ready());
        ticks.run(10); // the recording has started

        uint64_t before = allocationsOnThisThread();
        ticks.run(c.deadlines);
        EXPECT_EQ(allocationsOnThisThread() - before, 0u) << c.name;
        ticks.drainLine();

        const std::vector<ExpectedCall> expected = {
            {"break on", __NR_ioctl, 1, TIOCSBRK},
            {"break off", __NR_ioctl, 1, TIOCCBRK},
            {"frame write", __NR_write, 2, kFrameBytes, 2},
            {"window wake", __NR_write, 0, uint64_t(wakeFd), 2},
        };
        auto [serves, frames] = ticks.ahead(c.deadlines);
        CallCounts calls = countSystemCalls(expected, [&] { ticks.run(c.deadlines); });
        if (!calls.checked) {
            uiwake::setResting(false);
            GTEST_SKIP() << calls.why;
        }
        EXPECT_TRUE(calls.completed) << c.name << ": " << calls.ending;
        ASSERT_EQ(calls.counts.size(), expected.size());
        EXPECT_EQ((std::vector<uint64_t>{calls.counts.begin(), calls.counts.begin() + 3}),
                  (std::vector<uint64_t>{frames, frames, frames}))
            << c.name;
        EXPECT_GT(calls.counts[3], 0u) << c.name;
        EXPECT_LE(calls.counts[3], serves) << c.name << ": at most one wake a tick";
    }
    uiwake::setResting(false);
}

} // namespace
} // namespace orvane
