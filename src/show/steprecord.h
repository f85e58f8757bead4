#pragma once
// One step of a show in memory: a plain value, copied whole.
// Any thread may hold its own copy; the show table itself is user-interface thread only.

#include <array>
#include <cstdint>
#include <string>

namespace orvane {

constexpr int kStepCount = 500;  // steps 0..499
constexpr int kEntryCount = 42;  // controllable functions of the patch
constexpr int kFaderCount = 28;  // stored fader levels 1..28
constexpr int kColourCount = 13; // step colours 1..13
constexpr int kCheckCount = 8;   // check flags 1..8
constexpr int kScannerCount = 3;
constexpr int kHeadCount = 5;
constexpr int kScannerBytes = 7;
constexpr int kHead1Bytes = 16;
constexpr int kHeadBytes = 14; // heads 2..5

// The live record may carry these two markers in a fader level (keyboard flash).
constexpr int kLevelForcedFull = 256;
constexpr int kLevelForcedOff = 257;

// Values of a type-0 (RGB lamp) entry. Colour is 0x00BBGGRR.
struct LampValues {
    uint32_t colour = 0;
    uint8_t strobe = 0;
    uint8_t intensity = 0;
    uint8_t mode = 0;
    uint8_t speed = 0;
    bool operator==(const LampValues&) const = default;
};

// Values of the other entry types: first is the intensity (type 9: the strobe),
// second the fog fan (type 6) or the intensity (type 9).
struct ValuePair {
    uint8_t first = 0;
    uint8_t second = 0;
    bool operator==(const ValuePair&) const = default;
};

struct ScannerBlock {
    std::array<uint8_t, kScannerBytes> channel{};
    int32_t padX = 0;
    int32_t padY = 0;
    int32_t raw = 0;
    bool operator==(const ScannerBlock&) const = default;
};

// Head 1 uses all 16 channel bytes, heads 2..5 the first 14.
struct HeadBlock {
    std::array<uint8_t, kHead1Bytes> channel{};
    int32_t padX = 0;
    int32_t padY = 0;
    int32_t raw = 0;
    bool operator==(const HeadBlock&) const = default;
};

struct StepRecord {
    int32_t master = 0;
    std::array<LampValues, kEntryCount> lamp{};
    std::array<ValuePair, kEntryCount> pair{};
    std::array<int32_t, kFaderCount> fader{}; // fader[0] is fader level 1
    std::array<int32_t, kCheckCount> check{}; // check[0] is check flag 1
    int32_t resetmaster = 0;
    int32_t setmaster = 0;
    std::string name;
    double masteront = 0.0;
    double masterofft = 0.0;
    double fadet = 0.0;
    uint16_t keycode = 0;
    uint16_t keymodifier = 0;
    int32_t autofade = 0;
    int32_t gotoFlag = 0; // key "goto"
    int32_t gotostep = 0;
    int32_t playatbegin = 0;
    int32_t nextonstop = 0;
    int32_t faderude = 0;
    int32_t togglepause = 0;
    std::string soundnameatbegin;
    int32_t sound1 = 0;
    int32_t sound2 = 0;
    int32_t stepsound = 0;
    int32_t soundlocked = 1;
    std::array<uint32_t, kColourCount> colour{}; // colour[0] is colour 1, 0x00BBGGRR
    std::array<ScannerBlock, kScannerCount> scanner{};
    std::array<HeadBlock, kHeadCount> head{};
    std::string extra;
    std::string ple;

    bool operator==(const StepRecord&) const = default;
};

inline uint8_t redOf(uint32_t c) {
    return static_cast<uint8_t>(c & 0xFF);
}
inline uint8_t greenOf(uint32_t c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline uint8_t blueOf(uint32_t c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}
inline uint32_t makeColour(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

} // namespace orvane
