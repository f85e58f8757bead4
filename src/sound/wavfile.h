#pragma once
// RIFF WAVE files as the sound bank keeps them: the header fields the output
// needs, where the sample data starts and how much of it is played. Only PCM
// with 8- or 16-bit samples is accepted (format tag 1, or the extensible tag
// with the PCM sub-format). Pure logic, safe from any thread.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvane {

// The last 256 bytes of the sample data are never played.
constexpr uint32_t kUnplayedTail = 256;
// Files with less sample data than this are refused.
constexpr uint32_t kMinDataBytes = 300;

struct SampleFormat {
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint16_t bitsPerSample = 16;
    uint16_t blockAlign = 4;
    uint32_t avgBytesPerSec = 176400;
    bool operator==(const SampleFormat&) const = default;
};

struct WavInfo {
    uint16_t formatTag = 1;
    uint16_t cb = 0; // extra format bytes
    SampleFormat format;
    uint32_t dataOffset = 44; // from the start of the file
    uint32_t dataBytes = 0;   // declared size of the sample data

    // Bytes played: the data without its last 256 bytes, in whole blocks.
    uint32_t playLength() const;
    // Duration of the whole sample data in milliseconds.
    uint64_t durationMs() const;
};

// Reads the header of a whole file held in memory. Never reads outside file.
// On refusal returns nothing and says why in error.
std::optional<WavInfo> parseWav(std::span<const uint8_t> file, std::string& error);

// "%u:%2.2u %3.3u": minutes, seconds, milliseconds.
std::string durationText(uint64_t ms);

// Bytes of sample data to milliseconds, truncated.
inline uint64_t bytesToMs(uint64_t bytes, uint32_t avgBytesPerSec) {
    return avgBytesPerSec ? bytes * 1000 / avgBytesPerSec : 0;
}

} // namespace orvane
