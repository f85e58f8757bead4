#pragma once
// Sample arithmetic shared by the device callback and the level meters: the
// software left/right volume and the peak reading. No allocation, no locks:
// safe from the audio callback and any other thread.

#include "sound/wavfile.h"

#include <cstddef>
#include <cstdint>

namespace orvane {

// The device volume: left in the low 16 bits, right in the high 16 bits,
// 0xFFFF = full.
constexpr uint32_t kFullVolume = 0xFFFFFFFFu;

inline uint32_t packVolume(uint32_t left, uint32_t right) {
    return (left & 0xFFFF) | (right & 0xFFFF) << 16;
}

// Copies bytes (whole blocks) of sample data from src to dst, scaling each
// sample by its channel's volume / 65535 (16-bit samples truncated toward
// zero). Channel 0 takes the left volume, channel 1 the right one; a mono
// sound and channels beyond the second take their mean. At full volume the
// bytes are copied unchanged. Silence is all zero bytes in both sample types.
void applyVolume(const uint8_t* src, uint8_t* dst, size_t bytes, const SampleFormat& format,
                 uint32_t volume);

struct MeterLevels {
    int left = 0;
    int right = 0; // both 0-30000
};

constexpr int kMeterTop = 30000;

// The peak absolute level of the left and right channel over the frames in
// [position - window, position) of the sample data (the sound just handed to
// the device), as 16-bit magnitudes capped at 30000. Float samples count
// 32768 for full scale; a mono sound gives both sides the same.
// Only bytes inside [0, dataBytes) are read; position 0 reads nothing.
MeterLevels peakLevels(const uint8_t* data, uint32_t dataBytes, uint32_t position, uint32_t window,
                       const SampleFormat& format);

} // namespace orvane
