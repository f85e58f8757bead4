#pragma once
// A clock that moves only when the test says so.

#include "core/clock.h"

#include <atomic>

namespace orvane::test {

class ManualClock final : public Clock {
public:
    explicit ManualClock(Nanoseconds start = Nanoseconds{0}) : m_now(start.count()) {}

    Nanoseconds now() const override { return Nanoseconds{m_now.load()}; }
    WallTime wall() const override { return m_wallOrigin + now(); }

    void advance(Nanoseconds by) { m_now += by.count(); }
    void set(Nanoseconds to) { m_now = to.count(); }
    void setWallOrigin(WallTime origin) { m_wallOrigin = origin; }

private:
    std::atomic<int64_t> m_now; // written by the test, read by any thread
    WallTime m_wallOrigin{};
};

} // namespace orvane::test
