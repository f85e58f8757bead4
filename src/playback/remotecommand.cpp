#include "playback/remotecommand.h"

#include "dmx/uiwake.h"

#include <sys/eventfd.h>
#include <unistd.h>

namespace orvane {

RemoteCommandRing::RemoteCommandRing() : m_wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

RemoteCommandRing::~RemoteCommandRing() {
    if (m_wake >= 0)
        ::close(m_wake);
}

void RemoteCommandRing::clearWake() {
    uint64_t count = 0;
    while (m_wake >= 0 && ::read(m_wake, &count, sizeof count) == sizeof count) {
    }
}

bool RemoteCommandRing::push(const RemoteCommand& command) {
    {
        std::lock_guard lock(m_mutex);
        if (m_size == kCapacity) {
            m_dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        m_items[(m_head + m_size) % kCapacity] = command;
        ++m_size;
    }
    uiwake::poke();
    uint64_t one = 1;
    if (m_wake >= 0) [[maybe_unused]]
        ssize_t n = ::write(m_wake, &one, sizeof one);
    return true;
}

std::optional<RemoteCommand> RemoteCommandRing::pop() {
    std::lock_guard lock(m_mutex);
    if (m_size == 0)
        return std::nullopt;
    RemoteCommand command = m_items[m_head];
    m_head = (m_head + 1) % kCapacity;
    --m_size;
    return command;
}

bool RemoteCommandRing::empty() const {
    std::lock_guard lock(m_mutex);
    return m_size == 0;
}

bool RemoteStateBoard::publish(const RemoteState& state) {
    {
        std::lock_guard lock(m_mutex);
        if (m_version.load(std::memory_order_relaxed) != 0 && state == m_state)
            return false;
        m_state = state;
        m_version.fetch_add(1, std::memory_order_release);
    }
    for (const auto& listener : m_listeners)
        listener();
    return true;
}

RemoteState RemoteStateBoard::latest(uint64_t* version) const {
    std::lock_guard lock(m_mutex);
    if (version)
        *version = m_version.load(std::memory_order_relaxed);
    return m_state;
}

} // namespace orvane
