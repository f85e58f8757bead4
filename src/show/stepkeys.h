#pragma once
// The key names of a step, built once. A step has 317 keys: 313 in its own
// section and the four shared check flags in section "0".

#include "show/steprecord.h"

#include <array>
#include <string>

namespace orvane {

struct StepKeys {
    // Per patch entry: lamp keys C, S, I, M, V; pair keys by type (first, second).
    struct EntryKeys {
        std::string colour, strobe, intensity, mode, speed;
        std::string first, second; // empty when the type keeps no such value
    };
    std::array<EntryKeys, kEntryCount> entry;
    std::array<std::string, kFaderCount> fader; // "1" .. "28"
    std::array<std::string, kColourCount> red, green, blue;
    std::array<std::string, kCheckCount> check; // "check1" .. "check8"
    struct BlockKeys {
        std::array<std::string, kHead1Bytes> channel; // empty for bytes without a key
        std::string x, y, raw;
    };
    std::array<BlockKeys, kScannerCount> scanner;
    std::array<BlockKeys, kHeadCount> head;

    static const StepKeys& get();
};

} // namespace orvane
