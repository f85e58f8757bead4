#include "sound/wavfile.h"

#include "show/language.h"
#include "show/textutil.h"

#include <sndfile.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace orvane {

namespace {

constexpr int kMaxChannels = 8;
constexpr int kMaxRate = 384000;
// Positions are ints on the console's slider and bar.
constexpr uint64_t kMaxDecodedBytes = INT32_MAX;
constexpr sf_count_t kChunkFrames = 65536;

// The file in memory as libsndfile's virtual I/O reads it. The chunk ids at
// the masked offsets read as "JUNK".
struct MemoryFile {
    std::span<const uint8_t> bytes;
    std::vector<size_t> masked; // ascending
    sf_count_t at = 0;
    sf_count_t size() const { return sf_count_t(bytes.size()); }
};

void maskIds(const MemoryFile& m, uint8_t* out, size_t from, size_t count) {
    static constexpr char kJunk[4] = {'J', 'U', 'N', 'K'};
    auto it = std::lower_bound(m.masked.begin(), m.masked.end(), from < 3 ? 0 : from - 3);
    for (; it != m.masked.end() && *it < from + count; ++it)
        for (size_t k = 0; k < 4; ++k)
            if (*it + k >= from && *it + k < from + count)
                out[*it + k - from] = uint8_t(kJunk[k]);
}

uint32_t chunkSize(std::span<const uint8_t> b, size_t at, bool bigEndian) {
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k)
        v |= uint32_t(b[at + (bigEndian ? 3 - k : k)]) << (8 * k);
    return v;
}

bool idIs(std::span<const uint8_t> b, size_t at, const char* id) {
    return std::memcmp(b.data() + at, id, 4) == 0;
}

// libsndfile 1.2.0 reads a LIST (or top-level INFO) chunk as a run of
// sub-chunks and adds each one's 32-bit size to its count without guarding
// against wrap-around. A size of 0xFFFFFFF8 (after the id of a sub-chunk, or
// after a list type it does not know, which it takes for one) sends its jump
// back onto that same sub-chunk and its count with it; the bytes sit in its
// header cache, so no read ever comes back to us, and the open loops for ever.
// The bank has no use for metadata: such chunks are never shown to it, their
// ids read as "JUNK", which it skips by their size. Files that are not RIFF or
// RIFX WAVE go to the decoder as they are.
void maskMetadataLists(MemoryFile& m) {
    std::span<const uint8_t> b = m.bytes;
    if (b.size() < 12 || !(idIs(b, 0, "RIFF") || idIs(b, 0, "RIFX")) || !idIs(b, 8, "WAVE"))
        return;
    const bool bigEndian = idIs(b, 0, "RIFX");
    for (size_t at = 12; at + 8 <= b.size();) {
        uint32_t size = chunkSize(b, at + 4, bigEndian);
        if (idIs(b, at, "LIST") || idIs(b, at, "INFO"))
            m.masked.push_back(at);
        at += 8 + uint64_t(size) + (size & 1);
    }
}

sf_count_t memLength(void* user) {
    return static_cast<MemoryFile*>(user)->size();
}

sf_count_t memSeek(sf_count_t offset, int whence, void* user) {
    auto& m = *static_cast<MemoryFile*>(user);
    sf_count_t base = whence == SEEK_CUR ? m.at : whence == SEEK_END ? m.size() : 0;
    // Offsets come from the file's own headers: keep the sum from overflowing.
    if (offset > m.size() - base)
        m.at = m.size();
    else
        m.at = std::max<sf_count_t>(0, base + offset);
    return m.at;
}

sf_count_t memRead(void* ptr, sf_count_t count, void* user) {
    auto& m = *static_cast<MemoryFile*>(user);
    sf_count_t n = std::clamp<sf_count_t>(m.size() - m.at, 0, std::max<sf_count_t>(count, 0));
    if (n > 0) {
        std::memcpy(ptr, m.bytes.data() + m.at, size_t(n));
        if (!m.masked.empty())
            maskIds(m, static_cast<uint8_t*>(ptr), size_t(m.at), size_t(n));
    }
    m.at += n;
    return n;
}

sf_count_t memWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t memTell(void* user) {
    return static_cast<MemoryFile*>(user)->at;
}

// Sources that 16-bit samples carry without loss.
bool fitsSixteenBits(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_IMA_ADPCM:
    case SF_FORMAT_MS_ADPCM:
    case SF_FORMAT_GSM610:
        return true;
    default:
        return false;
    }
}

sf_count_t readFrames(SNDFILE* f, SampleType type, uint8_t* out, sf_count_t frames) {
    if (type == SampleType::Int16)
        return sf_readf_short(f, reinterpret_cast<short*>(out), frames);
    return sf_readf_float(f, reinterpret_cast<float*>(out), frames);
}

// Reads every frame there is, chunk by chunk: the frame count a header claims
// only guides the first allocation, bounded by what the file could hold.
bool readAll(SNDFILE* f, sf_count_t claimed, size_t fileBytes, DecodedSound& sound,
             std::string& error) {
    const size_t block = sound.format.blockAlign;
    uint64_t guess =
        std::min<uint64_t>(uint64_t(std::max<sf_count_t>(claimed, 0)), kMaxDecodedBytes / block);
    sound.samples.reserve(size_t(std::min<uint64_t>(guess * block, uint64_t(fileBytes) * 4)));
    while (sound.samples.size() <= kMaxDecodedBytes) {
        size_t have = sound.samples.size();
        sound.samples.resize(have + size_t(kChunkFrames) * block);
        sf_count_t got =
            readFrames(f, sound.format.type, sound.samples.data() + have, kChunkFrames);
        sound.samples.resize(have + size_t(std::max<sf_count_t>(got, 0)) * block);
        if (got < kChunkFrames) {
            sound.samples.shrink_to_fit();
            return true;
        }
    }
    error = translate("Sound", "too long to be played");
    return false;
}

std::string tooShortText(uint32_t dataBytes) {
    return fillIn(translate("Sound", "only %1 bytes of sample data, at least %2 needed"),
                  {std::to_string(dataBytes), std::to_string(kMinDataBytes)});
}

} // namespace

SampleFormat SampleFormat::make(uint16_t channels, uint32_t rate, SampleType type) {
    SampleFormat f;
    f.channels = channels;
    f.sampleRate = rate;
    f.type = type;
    f.blockAlign = uint16_t(channels * f.bytesPerSample());
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

uint32_t playLength(uint32_t dataBytes, const SampleFormat& format) {
    uint32_t n = dataBytes > kUnplayedTail ? dataBytes - kUnplayedTail : 0;
    return format.blockAlign ? n - n % format.blockAlign : 0;
}

std::optional<DecodedSound> decodeWavFromMemory(std::span<const uint8_t> file, std::string& error) {
    MemoryFile memory{file, {}};
    maskMetadataLists(memory);
    SF_VIRTUAL_IO io{memLength, memSeek, memRead, memWrite, memTell};
    SF_INFO info{};
    SNDFILE* f = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!f) {
        error = fillIn(translate("Sound", "not a sound file that can be decoded (%1)"),
                       {sf_strerror(nullptr)});
        return std::nullopt;
    }
    std::optional<DecodedSound> sound;
    if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < 1 ||
        info.samplerate > kMaxRate) {
        error = fillIn(translate("Sound", "unsupported layout: %1 channels at %2 Hz"),
                       {std::to_string(info.channels), std::to_string(info.samplerate)});
    } else {
        sound.emplace();
        SampleType type = fitsSixteenBits(info.format) ? SampleType::Int16 : SampleType::Float32;
        sound->format =
            SampleFormat::make(uint16_t(info.channels), uint32_t(info.samplerate), type);
        if (!readAll(f, info.frames, file.size(), *sound, error))
            sound.reset();
    }
    sf_close(f);
    if (sound && sound->dataBytes() < kMinDataBytes) {
        error = tooShortText(sound->dataBytes());
        return std::nullopt;
    }
    return sound;
}

std::string durationText(uint64_t ms) {
    return format("%u:%2.2u %3.3u", unsigned(ms / 60000), unsigned(ms / 1000 % 60),
                  unsigned(ms % 1000));
}

} // namespace orvane
