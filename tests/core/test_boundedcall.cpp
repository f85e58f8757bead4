// Work run with a deadline: its value when it ends in time; when it overruns
// or is cancelled, the caller goes on at once while the work's thread, moved to
// the idle class, keeps running on what it owns.

#include "core/boundedcall.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <sched.h>
#include <string>
#include <unistd.h>

using namespace orvane;

namespace {

// Blocks the work until the test opens it: a decoder that does not return.
struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    std::atomic<pid_t> worker{0};
    void wait() {
        worker = ::gettid();
        std::unique_lock<std::mutex> lock(mutex);
        opened.wait(lock, [this] { return open; });
    }
    void release() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

} // namespace

TEST(BoundedCall, GivesTheValueOfWorkThatEndsInTime) {
    std::string owned = "decoded";
    Bounded<std::string> r = runBounded<std::string>(2000ms, [owned] { return owned + "!"; });
    EXPECT_EQ(r.end, BoundedEnd::Done);
    EXPECT_EQ(r.value, "decoded!");
}

TEST(BoundedCall, AbandonsWorkThatOverrunsOrIsCancelledAndLowersItsThread) {
    struct Case {
        const char* name;
        bool cancelFirst;
        BoundedEnd end;
    } cases[] = {{"overrun", false, BoundedEnd::Overran},
                 {"cancelled", true, BoundedEnd::Cancelled}};
    for (const Case& c : cases) {
        auto gate = std::make_shared<Gate>();
        std::atomic<bool> cancel{c.cancelFirst};
        int before = abandonedCalls();
        auto bytes = std::make_shared<std::string>(1000, 'x');
        Bounded<size_t> r = runBounded<size_t>(
            50ms,
            [gate, bytes] {
                gate->wait();
                return bytes->size(); // still valid: the work owns it
            },
            &cancel);
        EXPECT_EQ(r.end, c.end) << c.name;
        EXPECT_FALSE(r.value) << c.name;
        EXPECT_EQ(abandonedCalls(), before + 1) << c.name;
        bytes.reset();
        // The work is still blocked, in the idle class.
        while (gate->worker.load() == 0)
            sched_yield();
        EXPECT_EQ(::sched_getscheduler(gate->worker.load()), SCHED_IDLE) << c.name;
        gate->release();
    }
}
