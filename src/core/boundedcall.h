#pragma once
// Work that might never return, run with a deadline. A damaged file can send
// a decoder (libsndfile, an image reader) into an endless loop; the program
// must go on all the same. The work runs on a thread of its own and the caller
// waits for it at most the given time. Work that overruns is abandoned: its
// thread goes on alone in the idle scheduling class (it only gets a processor
// nothing else wants), whatever it returns is dropped, and the process may
// end without waiting for it. So the work must own everything it touches:
// capture by value or by shared pointer, never the caller's locals.
// Safe from any thread; the caller blocks for at most the limit.

#include "core/clock.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The time an outside file (a sound, an effect, a picture, a DMX replay) may
// take to be read and decoded before it is left out.
constexpr Milliseconds kOutsideFileBound = 2000ms;

enum class BoundedEnd : uint8_t {
    Done,      // the work returned in time
    Overran,   // the limit passed: the work was abandoned
    Cancelled, // cancel was raised while waiting: the work was abandoned
    NoThread,  // no thread could be started: the work did not run
};

// Runs work on a thread of its own and waits for it until limit has passed or
// *cancel (when given) becomes true.
BoundedEnd runBoundedVoid(Milliseconds limit, std::function<void()> work,
                          const std::atomic<bool>* cancel = nullptr);

template <class T> struct Bounded {
    BoundedEnd end = BoundedEnd::NoThread;
    std::optional<T> value; // set when end is Done
};

template <class T>
Bounded<T> runBounded(Milliseconds limit, std::function<T()> work,
                      const std::atomic<bool>* cancel = nullptr) {
    auto slot = std::make_shared<std::optional<T>>();
    Bounded<T> out;
    out.end = runBoundedVoid(
        limit, [slot, work = std::move(work)] { slot->emplace(work()); }, cancel);
    if (out.end == BoundedEnd::Done)
        out.value = std::move(*slot);
    return out;
}

// The bound as the operator reads it in any language: "2 s", "200 ms".
std::string boundText(Milliseconds limit);

// Calls abandoned so far in this process; their threads may still run.
int abandonedCalls();

} // namespace orvane
