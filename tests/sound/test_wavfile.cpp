// WAV headers: what is accepted, where the data starts, what is refused and
// why; the samples' volume and level arithmetic.

#include "sound/samples.h"
#include "sound/soundbank.h"
#include "sound/wavfile.h"
#include "wavmaker.h"

#include <gtest/gtest.h>

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

} // namespace

TEST(WavFile, AcceptedLayoutsAndWhereTheirDataStarts) {
    WavParams stereo;
    WavParams mono8{1, 22050, 8};
    std::vector<uint8_t> data = toneData(stereo, 1000);
    std::vector<uint8_t> list(26, 'x'); // odd size: padded to 26
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        uint32_t offset, bytes, channels, bits, tag;
    } cases[] = {
        {"canonical stereo 16", makeWav(stereo, data), 44, 4000, 2, 16, 1},
        {"mono 8", makeWav(mono8, toneData(mono8, 500)), 44, 500, 1, 8, 1},
        {"extensible PCM", riff({{"fmt ", extensibleBody(stereo, 1)}, {"data", data}}), 68, 4000, 2,
         16, 0xFFFE},
        {"metadata before the data",
         riff({{"fmt ", fmtBody(stereo)}, {"LIST", list}, {"data", data}}), 78, 4000, 2, 16, 1},
    };
    for (const Case& c : cases) {
        std::string error;
        auto info = parseWav(c.file, error);
        ASSERT_TRUE(info) << c.name << ": " << error;
        EXPECT_EQ(info->dataOffset, c.offset) << c.name;
        EXPECT_EQ(info->dataBytes, c.bytes) << c.name;
        EXPECT_EQ(info->format.channels, c.channels) << c.name;
        EXPECT_EQ(info->format.bitsPerSample, c.bits) << c.name;
        EXPECT_EQ(info->formatTag, c.tag) << c.name;
        EXPECT_EQ(info->playLength(), c.bytes - 256) << c.name;
    }
}

TEST(WavFile, DamagedOrForeignHeadersAreRefusedWithAReason) {
    WavParams s;
    const std::vector<uint8_t> good = makeWav(s, toneData(s, 1000));
    auto with = [&](auto change) {
        std::vector<uint8_t> f = good;
        change(f);
        return f;
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* reason;
    } cases[] = {
        {"empty", {}, "not a RIFF/WAVE"},
        {"garbage", std::vector<uint8_t>(600, 0xA5), "not a RIFF/WAVE"},
        {"not WAVE", with([](auto& f) { std::memcpy(f.data() + 8, "AVI ", 4); }),
         "not a RIFF/WAVE"},
        {"RIFF size past the end", with([](auto& f) { poke32(f, 4, 100000); }), "exceeds the file"},
        {"data size past the end", with([](auto& f) { poke32(f, 40, 4001); }),
         "more than the file"},
        {"fmt size past the end", with([](auto& f) { poke32(f, 16, 0x7FFFFFF0); }),
         "more than the file"},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 30), "exceeds the file"},
        {"float samples", with([](auto& f) { poke16(f, 20, 3); }), "not PCM"},
        {"ADPCM", with([](auto& f) { poke16(f, 20, 2); }), "not PCM"},
        {"extensible float", riff({{"fmt ", extensibleBody(s, 3)}, {"data", toneData(s, 100)}}),
         "not PCM"},
        {"24-bit", with([](auto& f) { poke16(f, 34, 24); }), "24-bit"},
        {"no channels", with([](auto& f) { poke16(f, 22, 0); }), "unsupported layout"},
        {"zero bytes per second", with([](auto& f) { poke32(f, 28, 0); }), "do not match"},
        {"wrong block align", with([](auto& f) { poke16(f, 32, 3); }), "do not match"},
        {"less than 300 data bytes", makeWav(s, toneData(s, 74)), "at least 300"},
        {"no data chunk", riff({{"fmt ", fmtBody(s)}}), "no sample data"},
        {"data before fmt", riff({{"data", toneData(s, 100)}, {"fmt ", fmtBody(s)}}),
         "no format chunk"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parseWav(c.file, error)) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

TEST(WavFile, EveryTruncationOfAFileIsParsedOrRefusedInsideTheBlock) {
    WavParams s;
    std::vector<uint8_t> file = riff(
        {{"fmt ", fmtBody(s)}, {"LIST", std::vector<uint8_t>(40, 1)}, {"data", toneData(s, 200)}});
    for (size_t n = 0; n <= file.size(); ++n) {
        // A copy of exactly n bytes, so a read past the block is a read past the heap block.
        std::vector<uint8_t> cut(file.begin(), file.begin() + ptrdiff_t(n));
        std::string error;
        auto info = parseWav(cut, error);
        if (info)
            EXPECT_LE(uint64_t(info->dataOffset) + info->dataBytes, n);
        else
            EXPECT_FALSE(error.empty());
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
    WavInfo tenMinutes;
    tenMinutes.dataBytes = 176400u * 600;
    EXPECT_EQ(tenMinutes.durationMs(), 600000u);

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
    SampleFormat stereo{2, 44100, 16, 4, 176400};
    SampleFormat mono{1, 44100, 16, 2, 88200};
    SampleFormat mono8{1, 8000, 8, 1, 8000};
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
        {"8-bit around 128", mono8, packVolume(32767, 32767), {255, 0, 128}, {191, 65, 128}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(c.in.size());
        applyVolume(c.in.data(), out.data(), c.in.size(), c.format, c.volume);
        EXPECT_EQ(out, c.out) << c.name;
    }
}

TEST(Samples, MeterReadsThePeakJustBeforeThePositionInsideTheData) {
    SampleFormat stereo{2, 44100, 16, 4, 176400};
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
