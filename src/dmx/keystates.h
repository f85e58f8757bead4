#pragma once
// Asynchronous key state for the keys the output tick reads: "down now" and
// "pressed since my last look". The application's event filter feeds the keys on
// the user-interface thread; any thread may read them. Each reader keeps its own
// KeyWatch, so one reader's query never hides a press from another.

#include <atomic>
#include <cstdint>

namespace orvane {

class KeyState {
public:
    // Feeding side (event filter). A press while already down (auto-repeat)
    // counts as a further press.
    void press() {
        m_presses.fetch_add(1, std::memory_order_relaxed);
        m_down.store(true, std::memory_order_relaxed);
    }
    void release() { m_down.store(false, std::memory_order_relaxed); }
    // For feeders that only know the level (a modifier mask on every event).
    void set(bool down) {
        if (down && !this->down())
            press();
        else if (!down)
            release();
    }

    bool down() const { return m_down.load(std::memory_order_relaxed); }
    uint32_t presses() const { return m_presses.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_down{false};
    std::atomic<uint32_t> m_presses{0};
};

// One reader's view of one key.
class KeyWatch {
public:
    bool pressedSinceLastQuery(const KeyState& key) {
        uint32_t presses = key.presses();
        bool pressed = presses != m_seen;
        m_seen = presses;
        return pressed;
    }
    // Down now, or pressed and released since the last query: a tap shorter
    // than the reader's period is not lost.
    bool held(const KeyState& key) {
        bool pressed = pressedSinceLastQuery(key);
        return key.down() || pressed;
    }

private:
    uint32_t m_seen = 0;
};

struct KeyStates {
    KeyState scrollLock;
    KeyState shift;
    KeyState escape;
};

} // namespace orvane
