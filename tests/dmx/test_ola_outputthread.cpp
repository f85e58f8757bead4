// The output thread's share of OLA is a copy into the sender's mailbox. A tick
// with OLA switched on makes no system call and no allocation, even while the
// sender is stuck in a send to a peer that stopped reading.

#include "dmx/olasink.h"
#include "dmx/outputtick.h"
#include "fakeolaclient.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <new>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Allocations made by the calling thread, counted by the replaced operator new.
thread_local uint64_t t_allocations = 0;

} // namespace

void* operator new(std::size_t size) {
    ++t_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

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

    uint64_t before = t_allocations;
    ticks.run(100);
    EXPECT_EQ(t_allocations - before, 0u);

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

} // namespace
} // namespace orvane
