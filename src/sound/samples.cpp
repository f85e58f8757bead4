#include "sound/samples.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace orvane {

namespace {

struct Gains {
    int32_t left, right, mean;
    int32_t of(unsigned channel, unsigned channels) const {
        if (channels == 1 || channel > 1)
            return mean;
        return channel == 0 ? left : right;
    }
};

void scale16(const uint8_t* src, uint8_t* dst, size_t bytes, unsigned channels, Gains g) {
    size_t samples = bytes / 2;
    for (size_t i = 0; i < samples; ++i) {
        int16_t s;
        std::memcpy(&s, src + 2 * i, 2);
        auto out = int16_t(int32_t(s) * g.of(unsigned(i % channels), channels) / 65535);
        std::memcpy(dst + 2 * i, &out, 2);
    }
}

void scaleFloat(const uint8_t* src, uint8_t* dst, size_t bytes, unsigned channels, Gains g) {
    size_t samples = bytes / 4;
    for (size_t i = 0; i < samples; ++i) {
        float s;
        std::memcpy(&s, src + 4 * i, 4);
        float out = s * float(g.of(unsigned(i % channels), channels)) / 65535.0f;
        std::memcpy(dst + 4 * i, &out, 4);
    }
}

int magnitude(const uint8_t* frame, unsigned channel, const SampleFormat& f) {
    if (f.type == SampleType::Float32) {
        float s;
        std::memcpy(&s, frame + 4 * channel, 4);
        float m = std::fabs(s) * 32768.0f; // NaN compares false: it reads as 0
        return m >= float(kMeterTop) ? kMeterTop : m > 0 ? int(m) : 0;
    }
    int16_t s;
    std::memcpy(&s, frame + 2 * channel, 2);
    return std::abs(int(s));
}

} // namespace

void applyVolume(const uint8_t* src, uint8_t* dst, size_t bytes, const SampleFormat& format,
                 uint32_t volume) {
    if (volume == kFullVolume) {
        std::memcpy(dst, src, bytes);
        return;
    }
    int32_t left = int32_t(volume & 0xFFFF);
    int32_t right = int32_t(volume >> 16);
    Gains g{left, right, (left + right) / 2};
    unsigned channels = std::max<unsigned>(format.channels, 1);
    if (format.type == SampleType::Float32)
        scaleFloat(src, dst, bytes, channels, g);
    else
        scale16(src, dst, bytes, channels, g);
}

MeterLevels peakLevels(const uint8_t* data, uint32_t dataBytes, uint32_t position, uint32_t window,
                       const SampleFormat& format) {
    MeterLevels peak;
    uint32_t block = format.blockAlign;
    if (block == 0 || data == nullptr)
        return peak;
    uint32_t end = std::min(position, dataBytes);
    end -= end % block;
    uint32_t span = std::min(end, window - window % block);
    unsigned right = format.channels > 1 ? 1 : 0;
    for (uint32_t at = end - span; at < end; at += block) {
        peak.left = std::max(peak.left, magnitude(data + at, 0, format));
        peak.right = std::max(peak.right, magnitude(data + at, right, format));
    }
    peak.left = std::min(peak.left, kMeterTop);
    peak.right = std::min(peak.right, kMeterTop);
    return peak;
}

} // namespace orvane
