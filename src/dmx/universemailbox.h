#pragma once
// Latest-universe mailbox between one writer thread and one reader thread (the
// user-interface thread and the output thread; the output thread and the OLA
// sender). A sequence-numbered buffer of atomic words: the
// reader retries a few times while a publish is in progress and otherwise takes
// what it got, so it never waits for the writer. A frame mixing two successive
// universes is acceptable for DMX; a data race is not, hence atomics throughout.

#include "dmx/universe.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <span>

namespace orvane {

class UniverseMailbox {
public:
    // Writer thread only (one thread per mailbox). Never blocks.
    void publish(const Universe& universe) {
        publish(std::span<const uint8_t, kUniverseSize>(universe));
    }
    void publish(std::span<const uint8_t, kUniverseSize> channels) {
        uint32_t seq = m_seq.load(std::memory_order_relaxed);
        m_seq.store(seq + 1, std::memory_order_relaxed);
        for (std::size_t i = 0; i < kWords; ++i) {
            uint64_t word;
            std::memcpy(&word, channels.data() + i * sizeof word, sizeof word);
            // Release: a reader that sees this word also sees the odd sequence.
            m_words[i].store(word, std::memory_order_release);
        }
        m_seq.store(seq + 2, std::memory_order_release);
    }

    // Reader thread only. Never blocks; returns false when every attempt
    // overlapped a publish (out then holds a possibly mixed frame). With
    // `publishes`, also says how many publishes the copy reflects.
    bool read(Universe& out, uint32_t* publishes = nullptr) const {
        uint32_t before = 0;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            before = m_seq.load(std::memory_order_acquire);
            copyWords(out);
            uint32_t after = m_seq.load(std::memory_order_relaxed);
            if (before == after && (before & 1u) == 0) {
                if (publishes)
                    *publishes = before / 2;
                return true;
            }
        }
        if (publishes)
            *publishes = (before + 1) / 2;
        return false;
    }

    // Any thread: publishes completed so far (wrapping).
    uint32_t publishes() const { return m_seq.load(std::memory_order_acquire) / 2; }

private:
    static constexpr std::size_t kWords = kUniverseSize / sizeof(uint64_t);
    static constexpr int kAttempts = 4;

    void copyWords(Universe& out) const {
        for (std::size_t i = 0; i < kWords; ++i) {
            // Acquire keeps the closing sequence load after the word loads.
            uint64_t word = m_words[i].load(std::memory_order_acquire);
            std::memcpy(out.data() + i * sizeof word, &word, sizeof word);
        }
    }

    std::atomic<uint32_t> m_seq{0};
    std::array<std::atomic<uint64_t>, kWords> m_words{};
};

} // namespace orvane
