#include "core/boundedcall.h"

#include <condition_variable>
#include <mutex>
#include <sched.h>
#include <string>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace orvane {

namespace {

std::atomic<int> g_abandoned{0};

// What the caller and the worker share; it outlives whichever ends last.
struct CallState {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> abandoned{false};
    std::atomic<pid_t> tid{0};
    std::function<void()> work;
};

// An abandoned worker may spin for ever: it must not take a processor from
// the output thread, the sound or the console.
void moveToIdleClass(pid_t tid) {
    if (tid == 0)
        return;
    sched_param param{};
    ::sched_setscheduler(tid, SCHED_IDLE, &param);
}

void workerMain(const std::shared_ptr<CallState>& state) {
    pid_t self = ::gettid();
    state->tid.store(self);
    if (state->abandoned.load())
        moveToIdleClass(self);
    state->work();
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
    }
    state->finished.notify_all();
}

// Waits in short slices so that a raised cancel is seen promptly.
bool waitDone(CallState& state, Milliseconds limit, const std::atomic<bool>* cancel) {
    constexpr Milliseconds kSlice = 20ms;
    Nanoseconds deadline = monotonicNow() + limit;
    std::unique_lock<std::mutex> lock(state.mutex);
    while (!state.done) {
        if (cancel && cancel->load())
            return false;
        Nanoseconds left = deadline - monotonicNow();
        if (left <= Nanoseconds{0})
            return false;
        state.finished.wait_for(lock, std::min<Nanoseconds>(left, kSlice));
    }
    return true;
}

} // namespace

BoundedEnd runBoundedVoid(Milliseconds limit, std::function<void()> work,
                          const std::atomic<bool>* cancel) {
    auto state = std::make_shared<CallState>();
    state->work = std::move(work);
    std::thread worker;
    try {
        worker = std::thread([state] { workerMain(state); });
    } catch (const std::system_error&) {
        return BoundedEnd::NoThread;
    }
    if (waitDone(*state, limit, cancel)) {
        worker.join();
        return BoundedEnd::Done;
    }
    state->abandoned.store(true);
    moveToIdleClass(state->tid.load());
    worker.detach();
    g_abandoned.fetch_add(1);
    return cancel && cancel->load() ? BoundedEnd::Cancelled : BoundedEnd::Overran;
}

std::string boundText(Milliseconds limit) {
    long long ms = limit.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

int abandonedCalls() {
    return g_abandoned.load();
}

} // namespace orvane
