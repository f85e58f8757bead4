// WAV headers: what is accepted, where the data starts, what is refused and
// why; the samples' volume and level arithmetic.

#include "core/boundedcall.h"
#include "sound/samples.h"
#include "sound/soundbank.h"
#include "sound/wavfile.h"
#include "support/tempdir.h"
#include "wavmaker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace orvane;
using namespace orvane::test;

namespace {

std::vector<uint8_t> extensibleBody(const WavParams& s, uint16_t subTag) {
    std::vector<uint8_t> b = fmtBody(s, 0xFFFE);
    put16(b, 22);     // cb
    put16(b, s.bits); // valid bits
    put32(b, 3);      // channel mask
    put16(b, subTag);
    const uint8_t tail[] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    b.insert(b.end(), tail, tail + sizeof tail);
    return b;
}

void poke32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}
void poke16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    std::memcpy(b.data() + at, &v, 2);
}

int16_t int16At(const std::vector<uint8_t>& b, size_t index) {
    int16_t v;
    std::memcpy(&v, b.data() + 2 * index, 2);
    return v;
}
float floatAt(const std::vector<uint8_t>& b, size_t index) {
    float v;
    std::memcpy(&v, b.data() + 4 * index, 4);
    return v;
}

// What the decoded samples of the tone in format s must be.
using Expected = std::function<bool(const std::vector<uint8_t>&, uint32_t i, uint32_t c)>;

Expected sixteenBit(int shift) {
    return [shift](const std::vector<uint8_t>& out, uint32_t i, uint32_t c) {
        int v = toneSample(i, c);
        int want = shift ? (v / 256) * 256 : v; // 8-bit sources keep their top byte
        return int16At(out, i * 2 + c) == want;
    };
}

Expected floatOf(std::function<float(uint32_t, uint32_t)> sample) {
    return [sample](const std::vector<uint8_t>& out, uint32_t i, uint32_t c) {
        return floatAt(out, i * 2 + c) == sample(i, c);
    };
}

} // namespace

TEST(WavFile, EachSampleFormatDecodesToTheSamplesItHolds) {
    const uint32_t frames = 1000;
    WavParams s16, s8{2, 22050, 8}, s24{2, 48000, 24}, s32{2, 44100, 32}, f32{2, 44100, 32, 3};
    std::vector<uint8_t> list(26, 'x');
    auto exact24 = [](uint32_t i, uint32_t c) { return toneSampleFloat(i, c); };
    auto exact32 = [](uint32_t i, uint32_t c) {
        return float(toneSample32(i, c)) * (1.0f / 2147483648.0f);
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        SampleType type;
        uint32_t rate;
        Expected sample;
    } cases[] = {
        {"PCM 16", makeWav(s16, toneData(s16, frames)), SampleType::Int16, 44100, sixteenBit(0)},
        {"PCM 8", makeWav(s8, toneData(s8, frames)), SampleType::Int16, 22050, sixteenBit(8)},
        {"PCM 24", makeWav(s24, toneData(s24, frames)), SampleType::Float32, 48000,
         floatOf(exact24)},
        {"PCM 32", makeWav(s32, toneData(s32, frames)), SampleType::Float32, 44100,
         floatOf(exact32)},
        {"float 32", makeWav(f32, toneData(f32, frames)), SampleType::Float32, 44100,
         floatOf(exact24)},
        {"extensible PCM 16",
         riff({{"fmt ", extensibleBody(s16, 1)}, {"data", toneData(s16, frames)}}),
         SampleType::Int16, 44100, sixteenBit(0)},
        {"extensible PCM 24",
         riff({{"fmt ", extensibleBody(s24, 1)}, {"data", toneData(s24, frames)}}),
         SampleType::Float32, 48000, floatOf(exact24)},
        {"extensible float",
         riff({{"fmt ", extensibleBody(f32, 3)}, {"data", toneData(f32, frames)}}),
         SampleType::Float32, 44100, floatOf(exact24)},
        {"metadata before the data",
         riff({{"fmt ", fmtBody(s16)}, {"LIST", list}, {"data", toneData(s16, frames)}}),
         SampleType::Int16, 44100, sixteenBit(0)},
    };
    for (const Case& c : cases) {
        std::string error;
        auto sound = decodeWavFromMemory(c.file, error);
        ASSERT_TRUE(sound) << c.name << ": " << error;
        const SampleFormat& f = sound->format;
        EXPECT_EQ(f, SampleFormat::make(2, c.rate, c.type)) << c.name;
        EXPECT_EQ(f.blockAlign, c.type == SampleType::Int16 ? 4 : 8) << c.name;
        ASSERT_EQ(sound->dataBytes(), frames * f.blockAlign) << c.name;
        int wrong = 0;
        for (uint32_t i = 0; i < frames; ++i)
            for (uint32_t ch = 0; ch < 2; ++ch)
                wrong += !c.sample(sound->samples, i, ch);
        EXPECT_EQ(wrong, 0) << c.name;
        EXPECT_EQ(playLength(sound->dataBytes(), f), sound->dataBytes() - 256) << c.name;
    }
}

TEST(WavFile, DataDeclaredPastTheEndGivesTheSamplesThatAreThere) {
    WavParams s24{2, 48000, 24};
    for (uint32_t declared : {7000u, 0x7FFFFFF0u}) {
        std::vector<uint8_t> file = makeWav(s24, toneData(s24, 1000)); // 6000 bytes of data
        poke32(file, 40, declared);
        std::string error;
        auto sound = decodeWavFromMemory(file, error);
        ASSERT_TRUE(sound) << declared << ": " << error;
        EXPECT_EQ(sound->dataBytes(), 1000u * 8) << declared;
        EXPECT_EQ(floatAt(sound->samples, 1999), toneSampleFloat(999, 1)) << declared;
    }
}

TEST(WavFile, WhatCannotBeDecodedIsRefusedWithAReason) {
    WavParams s;
    const std::vector<uint8_t> good = makeWav(s, toneData(s, 1000));
    auto with = [&](auto change) {
        std::vector<uint8_t> f = good;
        change(f);
        return f;
    };
    const char* undecodable = "not a sound file that can be decoded";
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* reason;
    } cases[] = {
        {"empty", {}, undecodable},
        {"garbage", std::vector<uint8_t>(600, 0xA5), undecodable},
        {"not WAVE", with([](auto& f) { std::memcpy(f.data() + 8, "AVI ", 4); }), undecodable},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 30), undecodable},
        {"unknown format tag", with([](auto& f) { poke16(f, 20, 0x1234); }), undecodable},
        {"no channels", with([](auto& f) { poke16(f, 22, 0); }), undecodable},
        {"less than 300 data bytes", makeWav(s, toneData(s, 74)), "at least 300"},
        {"no data chunk", riff({{"fmt ", fmtBody(s)}}), ""},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(decodeWavFromMemory(c.file, error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

// libsndfile loops for ever on some damaged LIST chunks: each case runs with
// a deadline, so a loop fails the test instead of hanging it.
TEST(WavFile, MetadataListsNeverReachTheDecoder) {
    WavParams s;
    std::vector<uint8_t> info = {'I', 'N', 'F', 'O', 'I', 'S', 'F', 'T', 7, 0,
                                 0,   0,   'o', 'r', 'v', 'a', 'n', 'e', 0, 0};
    std::vector<uint8_t> looping = {'I', 'N', 'F', 'O', 'z', 'z', 'z', 'z', 0xF8, 0xFF, 0xFF, 0xFF};
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* refusal; // part of the reason; nullptr: the tone decodes whole
    } cases[] = {
        {"a tag list before the data",
         riff({{"fmt ", fmtBody(s)}, {"LIST", info}, {"data", toneData(s, 500)}}), nullptr},
        {"a tag list after the data",
         riff({{"fmt ", fmtBody(s)}, {"data", toneData(s, 500)}, {"LIST", info}}), nullptr},
        {"a sub-chunk of 0xFFFFFFF8 bytes",
         riff({{"fmt ", fmtBody(s)}, {"LIST", looping}, {"data", toneData(s, 500)}}), nullptr},
        {"the reproducer: a list type taken for a sub-chunk of 0xFFFFFFF8 bytes",
         [] {
             std::string f = readFile(std::string(ORVANE_SOURCE_DIR) +
                                      "/tests/data/fuzz-repro/wav_list_chunk_hang.wav");
             return std::vector<uint8_t>(f.begin(), f.end());
         }(),
         "No 'data' chunk"},
    };
    for (const Case& c : cases) {
        auto file = std::make_shared<std::vector<uint8_t>>(c.file);
        auto run = runBounded<std::pair<bool, std::string>>(kOutsideFileBound, [file] {
            std::string error;
            auto sound = decodeWavFromMemory(*file, error);
            return std::pair{sound && sound->samples == toneData(WavParams{}, 500), error};
        });
        ASSERT_EQ(run.end, BoundedEnd::Done) << c.name << ": the decoder did not return";
        if (!c.refusal)
            EXPECT_TRUE(run.value->first) << c.name << ": " << run.value->second;
        else
            EXPECT_NE(run.value->second.find(c.refusal), std::string::npos)
                << c.name << ": " << run.value->second;
    }
}

TEST(WavFile, EveryTruncationOfAFileIsDecodedOrRefusedInsideTheBlock) {
    for (WavParams s : {WavParams{}, WavParams{2, 44100, 24}}) {
        std::vector<uint8_t> file = riff({{"fmt ", fmtBody(s)},
                                          {"LIST", std::vector<uint8_t>(40, 1)},
                                          {"data", toneData(s, 200)}});
        for (size_t n = 0; n <= file.size(); ++n) {
            // A copy of exactly n bytes, so a read past the block is a read past the heap block.
            std::vector<uint8_t> cut(file.begin(), file.begin() + ptrdiff_t(n));
            std::string error;
            auto sound = decodeWavFromMemory(cut, error);
            if (sound)
                EXPECT_LE(sound->dataBytes(), 200u * (s.bits == 16 ? 4 : 8)) << n;
            else
                EXPECT_FALSE(error.empty()) << n;
        }
    }
}

TEST(WavFile, DurationsNamesAndHotkeys) {
    struct {
        uint64_t ms;
        const char* text;
    } durations[] = {
        {0, "0:00 000"}, {999, "0:00 999"}, {61005, "1:01 005"}, {3600000, "60:00 000"}};
    for (auto d : durations)
        EXPECT_EQ(durationText(d.ms), d.text);
    // Ten minutes of 44.1 kHz stereo: more bytes x 1000 than 32 bits hold.
    EXPECT_EQ(bytesToMs(176400u * 600, 176400), 600000u);

    struct {
        const char* name;
        uint32_t loops;
        std::optional<HotKey> key;
    } names[] = {
        {"intro LOOP=3.wav", 3, {}},
        {"gong (SC=G).wav", 1, HotKey{'G', kModAlt}},
        {"a (SC=5) LOOP=12.wav", 12, HotKey{'5', kModAlt}},
        {"loop=3.wav", 1, {}},
        {"LOOP=.wav", 0, {}},
        {"cut (SC=", 1, {}},
    };
    for (const auto& n : names) {
        EXPECT_EQ(loopCount(n.name), n.loops) << n.name;
        EXPECT_EQ(soundHotkeyKey(n.name), n.key) << n.name;
    }
}

TEST(Samples, VolumeScalesEachChannelTowardSilence) {
    auto s16 = [](std::initializer_list<int> v) {
        std::vector<uint8_t> b;
        for (int x : v)
            put16(b, uint32_t(int16_t(x)) & 0xFFFF);
        return b;
    };
    auto f32 = [](std::initializer_list<float> v) {
        std::vector<uint8_t> b(v.size() * 4);
        std::memcpy(b.data(), std::data(v), b.size());
        return b;
    };
    SampleFormat stereo = SampleFormat::make(2, 44100, SampleType::Int16);
    SampleFormat mono = SampleFormat::make(1, 44100, SampleType::Int16);
    SampleFormat stereoFloat = SampleFormat::make(2, 48000, SampleType::Float32);
    struct Case {
        const char* name;
        SampleFormat format;
        uint32_t volume;
        std::vector<uint8_t> in, out;
    } cases[] = {
        {"full is a copy", stereo, kFullVolume, s16({32767, -32768}), s16({32767, -32768})},
        {"half left, quarter right", stereo, packVolume(32767, 16383), s16({20000, -20000}),
         s16({9999, -4999})},
        {"silence", stereo, 0, s16({20000, -20000}), s16({0, 0})},
        {"mono takes the mean", mono, packVolume(65535, 0), s16({-20000}), s16({-9999})},
        {"float full is a copy", stereoFloat, kFullVolume, f32({0.75f, -1.5f}),
         f32({0.75f, -1.5f})},
        {"float, silent left, full right", stereoFloat, packVolume(0, 65535), f32({0.5f, -0.5f}),
         f32({0.0f, -0.5f})},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(c.in.size());
        applyVolume(c.in.data(), out.data(), c.in.size(), c.format, c.volume);
        EXPECT_EQ(out, c.out) << c.name;
    }
}

TEST(Samples, MeterReadsThePeakJustBeforeThePositionInsideTheData) {
    SampleFormat stereo = SampleFormat::make(2, 44100, SampleType::Int16);
    std::vector<uint8_t> d;
    for (int pair : {100, -2000, 300, -32768, 50})
        for (int side : {pair, -pair / 2}) // right = half of left, other sign
            put16(d, uint32_t(int16_t(side)) & 0xFFFF);
    uint32_t bytes = uint32_t(d.size());
    struct Case {
        uint32_t position, window;
        int left, right;
    } cases[] = {
        {0, 100, 0, 0},        // nothing played yet
        {4, 100, 100, 50},     // first pair only
        {12, 8, 2000, 1000},   // the window reaches back two pairs
        {16, 4, 30000, 16384}, // -32768 is capped at the meter's top
        {1000, 4, 50, 25},     // beyond the data: the last pair
        {14, 8, 2000, 1000},   // mid-pair: whole pairs only
    };
    for (const Case& c : cases) {
        MeterLevels m = peakLevels(d.data(), bytes, c.position, c.window, stereo);
        EXPECT_EQ(m.left, c.left) << c.position;
        EXPECT_EQ(m.right, c.right) << c.position;
    }
}

TEST(Samples, FloatMeterCountsFullScaleAs32768AndStaysInRange) {
    SampleFormat stereo = SampleFormat::make(2, 48000, SampleType::Float32);
    struct Case {
        float left, right;
        int meterLeft, meterRight;
    } cases[] = {
        {0.5f, -0.25f, 16384, 8192},
        {-1.0f, 4.0f, 30000, 30000}, // past full scale: the meter's top
        {std::nanf(""), 0.0f, 0, 0}, // damaged data reads as silence
    };
    for (const Case& c : cases) {
        float frame[2] = {c.left, c.right};
        MeterLevels m = peakLevels(reinterpret_cast<const uint8_t*>(frame), 8, 8, 8, stereo);
        EXPECT_EQ(m.left, c.meterLeft) << c.left;
        EXPECT_EQ(m.right, c.meterRight) << c.right;
    }
}
