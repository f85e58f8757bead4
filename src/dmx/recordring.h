#pragma once
// What the output thread hands the recording writer, in order: the start of a
// recording (its file), its records, its end. A fixed ring of slots between
// one producer (the output thread) and one consumer (the writer thread):
// pushing never blocks, allocates or calls the system, and a full ring
// refuses. The slots are allocated once, with the ring, on the thread that
// makes it.

#include "dmx/universe.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace orvane {

struct RecordSlot {
    enum class Kind : uint8_t { Begin, Record, End };
    Kind kind = Kind::Record;
    int fd = -1;          // Begin: the file, from then on the writer's
    uint32_t session = 0; // Begin, End: which recording
    uint64_t lost = 0;    // End: records the ring had no room for
    Universe universe{};  // Record
};

class RecordRing {
public:
    // About 7.7 s of records at one every 30 ms: a disk that stalls that long
    // loses nothing.
    static constexpr std::size_t kCapacity = 256;

    RecordRing() : m_slots(std::make_unique<RecordSlot[]>(kCapacity)) {}
    RecordRing(const RecordRing&) = delete;
    RecordRing& operator=(const RecordRing&) = delete;

    // Producer.
    std::size_t freeSlots() const {
        return kCapacity - std::size_t(m_head.load(std::memory_order_relaxed) -
                                       m_tail.load(std::memory_order_acquire));
    }
    // The slot to fill next, or nullptr when the ring is full; publish() hands
    // it over.
    RecordSlot* claim() {
        return freeSlots() == 0 ? nullptr : &m_slots[index(m_head.load(std::memory_order_relaxed))];
    }
    void publish() {
        m_head.store(m_head.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    // Whether the producer has a recording going or about to go: the consumer
    // keeps watching the ring while it does.
    void setFeeding(bool on) { m_feeding.store(on, std::memory_order_seq_cst); }

    // Consumer.
    const RecordSlot* front() const {
        uint64_t tail = m_tail.load(std::memory_order_relaxed);
        return tail == m_head.load(std::memory_order_acquire) ? nullptr : &m_slots[index(tail)];
    }
    void pop() {
        m_tail.store(m_tail.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    }
    bool feeding() const { return m_feeding.load(std::memory_order_seq_cst); }

private:
    static std::size_t index(uint64_t n) { return std::size_t(n % kCapacity); }

    std::unique_ptr<RecordSlot[]> m_slots;
    std::atomic<uint64_t> m_head{0}; // written by the producer
    std::atomic<uint64_t> m_tail{0}; // written by the consumer
    std::atomic<bool> m_feeding{false};
};

} // namespace orvane
