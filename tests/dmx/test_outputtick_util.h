#pragma once
// Universes, frames and raw dmxraw.bin records for the DMX output tests.

#include "dmx/dmxline.h"
#include "dmx/universe.h"

#include <algorithm>
#include <string>
#include <vector>

namespace orvane::test {

using Frame = std::vector<uint8_t>;

inline Universe filled(uint8_t value) {
    Universe u;
    u.fill(value);
    return u;
}

inline Universe numbered(int n) {
    Universe u;
    for (int i = 0; i < kUniverseSize; ++i)
        u[i] = uint8_t(n + i);
    return u;
}

inline Frame frameOf(uint8_t startCode, const Universe& u) {
    Frame f(kFrameBytes, startCode);
    std::copy(u.begin(), u.end(), f.begin() + 1);
    return f;
}

// A record: little-endian length, then length bytes of value.
inline std::string rawRecord(std::size_t length, uint8_t value) {
    std::string r{char(length & 0xff), char(length >> 8)};
    r.append(length, char(value));
    return r;
}

inline std::string recordOf(const Universe& u) {
    return std::string("\x00\x02", 2) + std::string(u.begin(), u.end());
}

inline std::string fullRecords(int count, uint8_t value) {
    std::string r;
    for (int i = 0; i < count; ++i)
        r += rawRecord(512, value);
    return r;
}

} // namespace orvane::test
