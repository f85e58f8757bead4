#include "sound/wavfile.h"

#include "show/textutil.h"

#include <array>
#include <cstring>

namespace orvane {

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr size_t kRiffHeader = 12;
constexpr size_t kChunkHeader = 8;
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMaxRate = 384000;

// The GUID of the PCM sub-format after its first two bytes (which hold the tag 1).
constexpr std::array<uint8_t, 14> kPcmGuidTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                  0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t u16(std::span<const uint8_t> b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

uint32_t u32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

bool tagIs(std::span<const uint8_t> b, size_t at, const char* tag) {
    return std::memcmp(b.data() + at, tag, 4) == 0;
}

struct Chunk {
    size_t body = 0; // offset of the chunk's data
    uint32_t size = 0;
};

// The chunks "fmt " and "data" inside the RIFF block [12, end).
struct Chunks {
    std::optional<Chunk> fmt;
    std::optional<Chunk> data;
};

std::optional<Chunks> findChunks(std::span<const uint8_t> b, size_t end, std::string& error) {
    Chunks found;
    size_t at = kRiffHeader;
    while (at + kChunkHeader <= end && !found.data) {
        Chunk c{at + kChunkHeader, u32(b, at + 4)};
        if (c.size > end - c.body) {
            error = format("chunk \"%.4s\" declares %u bytes, more than the file holds",
                           reinterpret_cast<const char*>(b.data() + at), c.size);
            return std::nullopt;
        }
        if (tagIs(b, at, "fmt ") && !found.fmt)
            found.fmt = c;
        else if (tagIs(b, at, "data"))
            found.data = c;
        at = c.body + c.size + (c.size & 1);
    }
    if (!found.fmt || !found.data) {
        error = found.fmt ? "no sample data" : "no format chunk before the sample data";
        return std::nullopt;
    }
    return found;
}

bool readFormatTag(std::span<const uint8_t> fmt, WavInfo& info, std::string& error) {
    info.formatTag = u16(fmt, 0);
    if (info.formatTag == kTagPcm)
        return true;
    if (info.formatTag == kTagExtensible && fmt.size() >= 40) {
        info.cb = u16(fmt, 16);
        bool pcm = u16(fmt, 24) == kTagPcm &&
                   std::memcmp(fmt.data() + 26, kPcmGuidTail.data(), kPcmGuidTail.size()) == 0;
        if (info.cb >= 22 && pcm)
            return true;
    }
    error = format("format tag 0x%04X is not PCM", unsigned(info.formatTag));
    return false;
}

bool readFormat(std::span<const uint8_t> fmt, WavInfo& info, std::string& error) {
    if (fmt.size() < 16) {
        error = "format chunk too short";
        return false;
    }
    if (!readFormatTag(fmt, info, error))
        return false;
    SampleFormat& f = info.format;
    f.channels = u16(fmt, 2);
    f.sampleRate = u32(fmt, 4);
    f.avgBytesPerSec = u32(fmt, 8);
    f.blockAlign = u16(fmt, 12);
    f.bitsPerSample = u16(fmt, 14);
    if (f.bitsPerSample != 8 && f.bitsPerSample != 16) {
        error = format("%u-bit samples are not supported", unsigned(f.bitsPerSample));
        return false;
    }
    if (f.channels < 1 || f.channels > kMaxChannels || f.sampleRate < 1 ||
        f.sampleRate > kMaxRate) {
        error =
            format("unsupported layout: %u channels at %u Hz", unsigned(f.channels), f.sampleRate);
        return false;
    }
    // The display and the end test count time in bytes per second: they must agree
    // with what the device plays.
    if (f.blockAlign != f.channels * f.bitsPerSample / 8 ||
        uint64_t(f.avgBytesPerSec) != uint64_t(f.sampleRate) * f.blockAlign) {
        error = "block align or bytes per second do not match the sample format";
        return false;
    }
    return true;
}

} // namespace

uint32_t WavInfo::playLength() const {
    uint32_t n = dataBytes > kUnplayedTail ? dataBytes - kUnplayedTail : 0;
    return format.blockAlign ? n - n % format.blockAlign : 0;
}

uint64_t WavInfo::durationMs() const {
    return bytesToMs(dataBytes, format.avgBytesPerSec);
}

std::optional<WavInfo> parseWav(std::span<const uint8_t> file, std::string& error) {
    if (file.size() < kRiffHeader + kChunkHeader || !tagIs(file, 0, "RIFF") ||
        !tagIs(file, 8, "WAVE")) {
        error = "not a RIFF/WAVE file";
        return std::nullopt;
    }
    uint64_t riffEnd = uint64_t(u32(file, 4)) + 8;
    if (riffEnd > file.size()) {
        error = format("declared size %llu exceeds the file (%zu bytes)",
                       static_cast<unsigned long long>(riffEnd), file.size());
        return std::nullopt;
    }
    auto chunks = findChunks(file, size_t(riffEnd), error);
    if (!chunks)
        return std::nullopt;
    WavInfo info;
    if (!readFormat(file.subspan(chunks->fmt->body, chunks->fmt->size), info, error))
        return std::nullopt;
    info.dataOffset = uint32_t(chunks->data->body);
    info.dataBytes = chunks->data->size;
    if (info.dataBytes < kMinDataBytes) {
        error = format("only %u bytes of sample data, at least %u needed", info.dataBytes,
                       kMinDataBytes);
        return std::nullopt;
    }
    return info;
}

std::string durationText(uint64_t ms) {
    return format("%u:%2.2u %3.3u", unsigned(ms / 60000), unsigned(ms / 1000 % 60),
                  unsigned(ms % 1000));
}

} // namespace orvane
