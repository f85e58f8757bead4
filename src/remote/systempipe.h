#pragma once
// The system pipe "orvanesystemserver": another program positions moving heads
// 2-5. Each command is a 32-bit little-endian code and its payload (all values
// little-endian, no padding):
//   code 1, 16 bytes: four records (pan: u16, tilt: u16) for heads 2, 3, 4, 5;
//   code 2, 28 bytes: four records (pan: u16, tilt: u16, misc: u8, colour: u8,
//                     speed: u8) for heads 2, 3, 4, 5.
// Any other code is skipped (its 4 bytes only). A command whose payload has not
// all arrived waits for the rest. Moving head 1 cannot be driven this way.
//
// The output tick decodes (SystemPipeReader) and hands one command per head to
// the user-interface thread through a fixed ring (HeadCommandQueue); there a
// HeadMover sets the head window's sliders.

#include "remote/pipeserver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>

namespace orvane {

constexpr uint32_t kHeadPositionCode = 1;
constexpr uint32_t kHeadFullCode = 2;
constexpr int kFirstPipeHead = 2;
constexpr int kPipeHeads = 4;

// What one command asks of one head. Pan and tilt always; misc, colour and
// speed only when full (code 2).
struct HeadCommand {
    uint8_t head = 0; // 2-5
    bool full = false;
    uint16_t pan = 0;
    uint16_t tilt = 0;
    uint8_t misc = 0;
    uint8_t colour = 0;
    uint8_t speed = 0;

    bool operator==(const HeadCommand&) const = default;
};

// Where decoded commands end: the moving-head windows' "Pan" (1025), "Tilt"
// (1026), "Misc" (1028), "Color" (1029) and "Speed" (1027) sliders, set with
// redraw. User-interface thread only.
class HeadMover {
public:
    virtual ~HeadMover() = default;
    virtual void moveHead(const HeadCommand& command) = 0;
};

// The stream decoder. Bytes go into space() and are declared by decode(), which
// calls sink(const HeadCommand&) for every head of every complete command and
// keeps an incomplete one for the next bytes. Never allocates.
class SystemPipeDecoder {
public:
    static constexpr size_t kCapacity = 4096;

    std::span<uint8_t> space() { return {m_bytes.data() + m_have, kCapacity - m_have}; }

    template <typename Sink> void decode(size_t received, Sink&& sink) {
        m_have += received;
        size_t at = 0;
        while (m_have - at >= 4) {
            uint32_t code = u32(at);
            size_t payload = payloadSize(code);
            if (m_have - at < 4 + payload)
                break; // the rest of this command has not arrived yet
            if (payload == 0)
                ++m_unknown;
            else
                emitHeads(code, at + 4, sink);
            at += 4 + payload;
        }
        std::copy(m_bytes.begin() + long(at), m_bytes.begin() + long(m_have), m_bytes.begin());
        m_have -= at;
    }

    // A new client starts clean.
    void reset() { m_have = 0; }
    size_t pending() const { return m_have; }
    // Codes skipped since the start.
    uint32_t unknownCodes() const { return m_unknown; }

    static size_t payloadSize(uint32_t code);

private:
    uint32_t u32(size_t at) const {
        return uint32_t(m_bytes[at]) | uint32_t(m_bytes[at + 1]) << 8 |
               uint32_t(m_bytes[at + 2]) << 16 | uint32_t(m_bytes[at + 3]) << 24;
    }
    uint16_t u16(size_t at) const { return uint16_t(m_bytes[at] | m_bytes[at + 1] << 8); }

    template <typename Sink> void emitHeads(uint32_t code, size_t at, Sink& sink) {
        const bool full = code == kHeadFullCode;
        const size_t record = full ? 7 : 4;
        for (int h = 0; h < kPipeHeads; ++h, at += record) {
            HeadCommand c;
            c.head = uint8_t(kFirstPipeHead + h);
            c.full = full;
            c.pan = u16(at);
            c.tilt = u16(at + 2);
            if (full) {
                c.misc = m_bytes[at + 4];
                c.colour = m_bytes[at + 5];
                c.speed = m_bytes[at + 6];
            }
            sink(c);
        }
    }

    std::array<uint8_t, kCapacity> m_bytes{};
    size_t m_have = 0;
    uint32_t m_unknown = 0;
};

// One producer (the output thread), one consumer (the user-interface thread).
// Never blocks, never allocates; a command that finds the ring full is counted
// as lost.
class HeadCommandQueue {
public:
    static constexpr uint32_t kCapacity = 1024;

    bool push(const HeadCommand& command);
    std::optional<HeadCommand> pop();
    uint32_t lost() const { return m_lost.load(std::memory_order_relaxed); }

private:
    std::array<HeadCommand, kCapacity> m_ring{};
    std::atomic<uint32_t> m_head{0}; // next to write (producer)
    std::atomic<uint32_t> m_tail{0}; // next to read (consumer)
    std::atomic<uint32_t> m_lost{0};
};

// Output thread: reads the system pipe's client into the decoder and queues
// what it decodes.
class SystemPipeReader : public PipeReader {
public:
    explicit SystemPipeReader(HeadCommandQueue& queue) : m_queue(queue) {}

    bool read(int fd, Milliseconds now) override;
    void newClient() override { m_decoder.reset(); }

    // Safe from any thread.
    uint32_t unknownCodes() const { return m_unknown.load(std::memory_order_relaxed); }

private:
    static constexpr int kReadsPerTick = 4;

    HeadCommandQueue& m_queue;
    SystemPipeDecoder m_decoder;
    std::atomic<uint32_t> m_unknown{0};
};

} // namespace orvane
