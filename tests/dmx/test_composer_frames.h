#pragma once
// Composed frames written down by hand, and a comparison that reads like a diff.

#include "dmx/universe.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <vector>

namespace orvane::testing {

// Bytes from a 1-based channel on.
struct Run {
    int channel;
    std::vector<int> bytes;
};

inline Universe withRuns(Universe u, std::initializer_list<Run> runs) {
    for (const Run& run : runs)
        for (size_t k = 0; k < run.bytes.size(); ++k)
            u[run.channel - 1 + k] = static_cast<uint8_t>(run.bytes[k]);
    return u;
}

inline Universe frameOf(std::initializer_list<Run> runs) {
    return withRuns(Universe{}, runs);
}

// The four 5-channel lamps always carry 255 on their fourth channel.
inline Universe spotsOnly() {
    return frameOf({{158, {255}}, {163, {255}}, {168, {255}}, {173, {255}}});
}

inline ::testing::AssertionResult sameFrame(const Universe& actual, const Universe& expected) {
    std::ostringstream diff;
    for (int i = 0; i < kUniverseSize; ++i)
        if (actual[i] != expected[i])
            diff << "\n  channel " << i + 1 << ": got " << int(actual[i]) << ", want "
                 << int(expected[i]);
    if (diff.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "frames differ:" << diff.str();
}

} // namespace orvane::testing
