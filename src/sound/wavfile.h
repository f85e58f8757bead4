#pragma once
// Sound files as the sound bank keeps them: decoded once, on load, into
// interleaved little-endian samples the output device takes as they are.
// Sources of 16 bits or less (8- and 16-bit PCM, A-law, mu-law, ADPCM) become
// signed 16-bit samples; finer ones (24- and 32-bit integer, float, double)
// become 32-bit float. Every position and length of the sound console counts
// bytes of these decoded samples. libsndfile reads the files (RIFF WAVE with
// any of its format tags, WAVE_FORMAT_EXTENSIBLE, and the other containers it
// knows). Pure logic, safe from any thread.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvane {

// The last 256 bytes of the sample data are never played.
constexpr uint32_t kUnplayedTail = 256;
// Sounds with less sample data than this are refused.
constexpr uint32_t kMinDataBytes = 300;

enum class SampleType : uint8_t { Int16, Float32 };

struct SampleFormat {
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    SampleType type = SampleType::Int16;
    uint16_t blockAlign = 4; // bytes of one frame
    uint32_t avgBytesPerSec = 176400;
    bool operator==(const SampleFormat&) const = default;

    static SampleFormat make(uint16_t channels, uint32_t rate, SampleType type);
    uint16_t bytesPerSample() const { return type == SampleType::Int16 ? 2 : 4; }
};

struct DecodedSound {
    SampleFormat format;
    std::vector<uint8_t> samples; // whole frames

    uint32_t dataBytes() const { return uint32_t(samples.size()); }
};

// Bytes played of dataBytes of sample data: without the last 256 bytes, in
// whole blocks.
uint32_t playLength(uint32_t dataBytes, const SampleFormat& format);

// Decodes a whole sound file held in memory (never reads outside it). A data
// chunk declared longer than the file gives the samples that are there. On
// refusal returns nothing and says why in error.
std::optional<DecodedSound> decodeWavFromMemory(std::span<const uint8_t> file, std::string& error);

// "%u:%2.2u %3.3u": minutes, seconds, milliseconds.
std::string durationText(uint64_t ms);

// Bytes of sample data to milliseconds, truncated.
inline uint64_t bytesToMs(uint64_t bytes, uint32_t avgBytesPerSec) {
    return avgBytesPerSec ? bytes * 1000 / avgBytesPerSec : 0;
}

} // namespace orvane
