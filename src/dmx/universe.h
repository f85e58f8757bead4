#pragma once
// One DMX512 universe: index 0 carries channel 1. Trivially copyable, no heap.
// A Universe value belongs to the thread that holds it; use UniverseMailbox to
// hand one across threads.

#include <array>
#include <cstdint>

namespace orvane {

constexpr int kUniverseSize = 512;
using Universe = std::array<uint8_t, kUniverseSize>;

} // namespace orvane
