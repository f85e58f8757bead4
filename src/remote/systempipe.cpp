#include "remote/systempipe.h"

#include "dmx/uiwake.h"

#include <sys/socket.h>

namespace orvane {

size_t SystemPipeDecoder::payloadSize(uint32_t code) {
    switch (code) {
    case kHeadPositionCode:
        return 16;
    case kHeadFullCode:
        return 28;
    default:
        return 0;
    }
}

bool HeadCommandQueue::push(const HeadCommand& command) {
    uint32_t head = m_head.load(std::memory_order_relaxed);
    if (head - m_tail.load(std::memory_order_acquire) >= kCapacity) {
        m_lost.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    m_ring[head % kCapacity] = command;
    m_head.store(head + 1, std::memory_order_release);
    return true;
}

std::optional<HeadCommand> HeadCommandQueue::pop() {
    uint32_t tail = m_tail.load(std::memory_order_relaxed);
    if (tail == m_head.load(std::memory_order_acquire))
        return std::nullopt;
    HeadCommand command = m_ring[tail % kCapacity];
    m_tail.store(tail + 1, std::memory_order_release);
    return command;
}

bool SystemPipeReader::read(int fd, Milliseconds) {
    for (int i = 0; i < kReadsPerTick; ++i) {
        std::span<uint8_t> space = m_decoder.space();
        ssize_t n = ::recv(fd, space.data(), space.size(), MSG_DONTWAIT);
        if (n <= 0)
            break;
        m_decoder.decode(size_t(n), [this](const HeadCommand& c) { m_queue.push(c); });
        m_unknown.store(m_decoder.unknownCodes(), std::memory_order_relaxed);
        uiwake::poke();
        if (size_t(n) < space.size())
            return false; // everything waiting was read
    }
    return bytesWaiting(fd) > 0;
}

} // namespace orvane
