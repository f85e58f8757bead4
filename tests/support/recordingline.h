#pragma once
// A DMX line that records every operation instead of driving a port, for tests
// of the order of line operations. One thread only.

#include "dmx/dmxline.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::test {

class RecordingLine : public DmxLine {
public:
    enum class Op { Open, SetDmxBaud, ClearRts, Close, BreakOn, BreakOff, Write };
    struct Event {
        Op op;
        std::vector<uint8_t> bytes; // Write only
    };

    int open(const LineSettings& settings) override;
    void setDmxBaud() override { record(Op::SetDmxBaud); }
    void clearRts() override { record(Op::ClearRts); }
    void close() override;
    int breakOn() override { return lineOp(Op::BreakOn); }
    int breakOff() override { return lineOp(Op::BreakOff); }
    int writeFrame(std::span<const uint8_t> bytes) override;

    // What the next open returns.
    int openResult = 0;
    bool isOpen = false;
    std::vector<LineSettings> opened;
    std::vector<Event> events;

    std::vector<Op> ops() const;
    std::vector<std::vector<uint8_t>> frames() const;
    void clear() { events.clear(); }

private:
    void record(Op op) { events.push_back({op, {}}); }
    int lineOp(Op op);
};

} // namespace orvane::test
