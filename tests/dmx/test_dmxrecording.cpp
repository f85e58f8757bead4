// The dmxraw.bin format: records written and read back, and every damaged or
// unusual record a replay may meet.

#include "dmx/dmxrecording.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

Universe filled(uint8_t value) {
    Universe u;
    u.fill(value);
    return u;
}

// One record as raw bytes: length (little-endian) then length bytes of value.
std::string rawRecord(std::size_t length, uint8_t value) {
    std::string r;
    r += char(length & 0xff);
    r += char(length >> 8);
    r.append(length, char(value));
    return r;
}

TEST(DmxRecording, RecordIsLittleEndianLengthThenChannels) {
    Universe u{};
    for (int i = 0; i < kUniverseSize; ++i)
        u[i] = uint8_t(i * 7);
    RecordBytes r = encodeRecord(u);
    EXPECT_EQ(r[0], 0x00); // 512 = 0x0200
    EXPECT_EQ(r[1], 0x02);
    EXPECT_TRUE(std::equal(u.begin(), u.end(), r.begin() + 2));
}

TEST(DmxRecording, WrittenRecordsReadBack) {
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    {
        DmxRecordWriter writer;
        writer.adopt(openForRecording(path));
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(writer.write(filled(uint8_t(10 + i))));
    }
    EXPECT_EQ(readFile(path).size(), 5 * kRecordBytes);

    DmxReplayReader reader;
    reader.adopt(openForReplay(path));
    Universe frame{};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(reader.next(frame), ReplayRead::Record);
        EXPECT_EQ(frame, filled(uint8_t(10 + i)));
    }
    EXPECT_EQ(reader.next(frame), ReplayRead::End);
}

TEST(DmxRecording, RecordingTruncatesTheOldFile) {
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    writeFile(path, std::string(5000, 'x'));
    DmxRecordWriter writer;
    writer.adopt(openForRecording(path));
    ASSERT_TRUE(writer.write(filled(1)));
    writer.close();
    EXPECT_EQ(readFile(path).size(), kRecordBytes);
    EXPECT_FALSE(writer.write(filled(1))); // closed
}

TEST(DmxRecording, UnusualRecords) {
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    writeFile(path, rawRecord(512, 7) + rawRecord(10, 9) + rawRecord(0, 0) + rawRecord(513, 1) +
                        rawRecord(512, 3));
    DmxReplayReader reader;
    reader.adopt(openForReplay(path));
    Universe frame{};
    ASSERT_EQ(reader.next(frame), ReplayRead::Record);

    // A short record covers the start of the frame; the rest stays.
    ASSERT_EQ(reader.next(frame), ReplayRead::Record);
    Universe expected = filled(7);
    std::fill(expected.begin(), expected.begin() + 10, 9);
    EXPECT_EQ(frame, expected);

    // An empty record is complete and changes nothing.
    ASSERT_EQ(reader.next(frame), ReplayRead::Record);
    EXPECT_EQ(frame, expected);

    // Longer than a universe: refused without touching the frame.
    EXPECT_EQ(reader.next(frame), ReplayRead::Overlong);
    EXPECT_EQ(frame, expected);
}

TEST(DmxRecording, IncompleteRecordsEndTheReplay) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string contents;
    } cases[] = {
        {"empty file", ""},
        {"one byte of length", std::string(1, '\x00')},
        {"record cut short", rawRecord(512, 4).substr(0, 300)},
    };
    for (const Case& c : cases) {
        std::string path = dir.file("cut.bin");
        writeFile(path, rawRecord(512, 1) + c.contents);
        DmxReplayReader reader;
        reader.adopt(openForReplay(path));
        Universe frame{};
        EXPECT_EQ(reader.next(frame), ReplayRead::Record) << c.name;
        EXPECT_EQ(reader.next(frame), ReplayRead::End) << c.name;
    }
    EXPECT_LT(openForReplay(dir.file("missing.bin")), 0);
    DmxReplayReader closed;
    Universe frame{};
    EXPECT_EQ(closed.next(frame), ReplayRead::End);
}

} // namespace
} // namespace orvane
