#pragma once
// A DMX line that takes every call and every frame at once and makes no system
// call: for measuring or racing the output tick's own work.

#include "dmx/dmxline.h"

#include <span>

namespace orvane::test {

struct NullLine : DmxLine {
    int open(const LineSettings&) override { return 0; }
    void setDmxBaud() override {}
    void clearRts() override {}
    void close() override {}
    int breakOn() override { return 0; }
    int breakOff() override { return 0; }
    int writeFrame(std::span<const uint8_t> bytes) override { return int(bytes.size()); }
};

} // namespace orvane::test
