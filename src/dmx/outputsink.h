#pragma once
// Where the output tick's frames go. Before each frame (the start code and 512
// slots) a sink gets its chance to prepare: at the usual cadence the tick
// before the frame's (the serial line holds its break through it), at a chosen
// frame rate the frame's deadline, followed by the end of the break a break
// time later and the frame a mark-after-break after that. The output layer
// keeps a list of (universe, sink) routes, so that a further universe or a
// further kind of output is a new line in that list.
//
// Threads: beforeFrame and sendFrame run on the output thread and must never
// block, allocate or touch a widget. Routes are added on the user-interface
// thread before the output thread starts; switching one on or off is atomic and
// allowed at any time.

#include "core/clock.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvane {

// The composed universe; today the only one.
constexpr int kComposedUniverse = 1;

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Before each frame (the break goes on).
    virtual void beforeFrame() {}
    // At a chosen frame rate, between beforeFrame and sendFrame: the break
    // goes off (the mark-after-break begins).
    virtual void endBreak() {}
    // One frame: the start code, then the 512 slots, channel 1 first. now is
    // the tick's CLOCK_MONOTONIC time.
    virtual void sendFrame(std::span<const uint8_t> frame, Nanoseconds now) = 0;
    // At a chosen frame rate: the serial line was opened again since
    // beforeFrame, so that the new line has had no break yet.
    virtual void lineReopened() {}
};

class OutputRoutes {
public:
    static constexpr std::size_t kMaxRoutes = 4;

    // User-interface thread, before the output thread runs. The index of the
    // new route (switched off), or -1 when the list is full or nothing
    // composes that universe.
    int add(int universe, OutputSink& sink);
    void setEnabled(int route, bool on);
    bool enabled(int route) const;

    // Output thread.
    bool anyEnabled() const;
    // Calls f(universe, sink) for every route switched on, in the order added.
    template <typename F> void forEachEnabled(F&& f) const {
        for (std::size_t i = 0; i < m_count; ++i)
            if (m_routes[i].enabled.load(std::memory_order_acquire))
                f(m_routes[i].universe, *m_routes[i].sink);
    }

private:
    struct Route {
        int universe = kComposedUniverse;
        OutputSink* sink = nullptr;
        std::atomic<bool> enabled{false};
    };

    std::array<Route, kMaxRoutes> m_routes{};
    std::size_t m_count = 0; // fixed once the output thread runs
};

} // namespace orvane
