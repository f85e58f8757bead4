#pragma once
// A gate between the output thread, which uses a socket on every tick, and the
// user-interface thread, which closes it. The output thread passes the gate
// without ever waiting; closing the gate waits only for a tick that is inside
// it at that moment (one non-blocking system call or two), so a descriptor is
// never closed, and its number never reused, under the output thread's feet.

#include <atomic>
#include <thread>

namespace orvane {

class TickGate {
public:
    // Output thread: true when the gate is open; then leave() must follow.
    bool enter() {
        m_inside.store(true);
        if (m_shut.load()) {
            m_inside.store(false);
            return false;
        }
        return true;
    }
    void leave() { m_inside.store(false); }

    // User-interface thread. After shut() returns, the output thread is out and
    // stays out until open().
    void shut() {
        m_shut.store(true);
        while (m_inside.load())
            std::this_thread::yield();
    }
    void open() { m_shut.store(false); }

    // Output thread: enter() and leave() for one scope.
    class Pass {
    public:
        explicit Pass(TickGate& gate) : m_gate(gate), m_in(gate.enter()) {}
        ~Pass() {
            if (m_in)
                m_gate.leave();
        }
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        explicit operator bool() const { return m_in; }

    private:
        TickGate& m_gate;
        bool m_in;
    };

private:
    // Sequentially consistent on purpose: each side writes its own flag, then
    // reads the other's.
    std::atomic<bool> m_inside{false};
    std::atomic<bool> m_shut{false};
};

} // namespace orvane
