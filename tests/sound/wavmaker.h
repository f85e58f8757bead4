#pragma once
// Builds WAV files for the sound tests and benchmarks: canonical 44-byte
// headers around sample data that is never silent, so every played byte can be
// told from the device's silence.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvane::test {

// tag 1: integer PCM of 8, 16, 24 or 32 bits; tag 3: float of 32 bits.
struct WavParams {
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    uint16_t tag = 1;
    uint16_t block() const { return uint16_t(channels * bits / 8); }
    uint32_t bytesPerSecond() const { return rate * block(); }
};

inline void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void putTag(std::vector<uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(tag[i]));
}

// A format chunk body of 16 bytes.
inline std::vector<uint8_t> fmtBody(const WavParams& s, uint16_t tag = 1) {
    std::vector<uint8_t> b;
    put16(b, tag);
    put16(b, s.channels);
    put32(b, s.rate);
    put32(b, s.bytesPerSecond());
    put16(b, s.block());
    put16(b, s.bits);
    return b;
}

// RIFF/WAVE around the given chunks (id, body).
inline std::vector<uint8_t>
riff(const std::vector<std::pair<const char*, std::vector<uint8_t>>>& chunks) {
    std::vector<uint8_t> b;
    putTag(b, "RIFF");
    put32(b, 0);
    putTag(b, "WAVE");
    for (const auto& [id, body] : chunks) {
        putTag(b, id);
        put32(b, uint32_t(body.size()));
        b.insert(b.end(), body.begin(), body.end());
        if (body.size() & 1)
            b.push_back(0);
    }
    uint32_t size = uint32_t(b.size() - 8);
    std::memcpy(b.data() + 4, &size, 4);
    return b;
}

// The tone's sample of frame i, channel c, at full 16-bit scale: it lies in
// 1000..20999, negative on odd frames, so it is never silence.
inline int toneSample(uint32_t i, uint32_t c) {
    int v = 1000 + int((i * 7 + c * 3001) % 20000);
    return (i & 1) ? -v : v;
}

// The same sample in a finer format, with low bits of its own so a lost bit
// shows: 24-bit and 32-bit integers, and float where 1.0 is full scale.
inline int32_t toneSample24(uint32_t i, uint32_t c) {
    return toneSample(i, c) * 256 + int32_t(i % 251);
}
inline int32_t toneSample32(uint32_t i, uint32_t c) {
    return toneSample(i, c) * 65536 + int32_t(i % 65521);
}
inline float toneSampleFloat(uint32_t i, uint32_t c) {
    return float(toneSample24(i, c)) / 8388608.0f;
}

// Sample data of the given number of frames in the format of s.
inline std::vector<uint8_t> toneData(const WavParams& s, uint32_t frames) {
    std::vector<uint8_t> d;
    d.reserve(size_t(frames) * s.block());
    for (uint32_t i = 0; i < frames; ++i)
        for (uint32_t c = 0; c < s.channels; ++c) {
            if (s.tag == 3) {
                uint32_t bits;
                float f = toneSampleFloat(i, c);
                std::memcpy(&bits, &f, 4);
                put32(d, bits);
            } else if (s.bits == 8) {
                d.push_back(uint8_t(128 + toneSample(i, c) / 256));
            } else if (s.bits == 24) {
                auto v = uint32_t(toneSample24(i, c));
                put16(d, v & 0xFFFF);
                d.push_back(uint8_t(v >> 16));
            } else if (s.bits == 32) {
                put32(d, uint32_t(toneSample32(i, c)));
            } else {
                put16(d, uint32_t(int16_t(toneSample(i, c))) & 0xFFFF);
            }
        }
    return d;
}

// A canonical file: the 44-byte header and the data.
inline std::vector<uint8_t> makeWav(const WavParams& s, const std::vector<uint8_t>& data) {
    return riff({{"fmt ", fmtBody(s, s.tag)}, {"data", data}});
}

inline std::vector<uint8_t> makeWavMs(const WavParams& s, uint32_t ms) {
    return makeWav(s, toneData(s, uint32_t(uint64_t(s.rate) * ms / 1000)));
}

inline std::string asText(const std::vector<uint8_t>& b) {
    return std::string(b.begin(), b.end());
}

} // namespace orvane::test
