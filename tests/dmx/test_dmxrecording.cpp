// The dmxraw.bin reader and writer on every unusual record a replay may meet.
// (The normal round trip runs through the output tick's tests.)

#include "dmx/dmxrecording.h"
#include "support/tempdir.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

using namespace test;

TEST(DmxRecording, RecordingTruncatesAndWritesWholeRecords) {
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    writeFile(path, std::string(5000, 'x'));
    DmxRecordWriter writer;
    writer.adopt(openForRecording(path));
    ASSERT_TRUE(writer.write(numbered(4)));
    writer.close();
    EXPECT_FALSE(writer.write(numbered(4)));
    EXPECT_EQ(readFile(path), recordOf(numbered(4)));
}

TEST(DmxRecording, ShortEmptyAndOverlongRecords) {
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    writeFile(path, rawRecord(512, 7) + rawRecord(10, 9) + rawRecord(0, 0) + rawRecord(513, 1));
    DmxReplayReader reader;
    reader.adopt(openForReplay(path));
    Universe frame{};
    ASSERT_EQ(reader.next(frame), ReplayRead::Record);
    Universe expected = filled(7);
    std::fill_n(expected.begin(), 10, 9); // the rest keeps the previous record
    ASSERT_EQ(reader.next(frame), ReplayRead::Record);
    EXPECT_EQ(frame, expected);
    ASSERT_EQ(reader.next(frame), ReplayRead::Record); // empty: complete, no change
    EXPECT_EQ(frame, expected);
    EXPECT_EQ(reader.next(frame), ReplayRead::Overlong); // refused untouched
    EXPECT_EQ(frame, expected);
}

TEST(DmxRecording, RecordsOfEveryLengthAcrossReadRefills) {
    // Lengths 0..512 in a scrambled order, about 130 KB: records straddle
    // every position of the reader's buffer refills.
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    std::string file;
    for (std::size_t i = 0; i <= 512; ++i)
        file += rawRecord((i * 211) % 513, uint8_t(i));
    writeFile(path, file);

    DmxReplayReader reader;
    reader.adopt(openForReplay(path));
    Universe frame{}, expected{};
    for (std::size_t i = 0; i <= 512; ++i) {
        ASSERT_EQ(reader.next(frame), ReplayRead::Record) << "record " << i;
        std::fill_n(expected.begin(), (i * 211) % 513, uint8_t(i));
        ASSERT_EQ(frame, expected) << "record " << i;
    }
    EXPECT_EQ(reader.next(frame), ReplayRead::End);
}

TEST(DmxRecording, IncompleteRecordsEndTheReplay) {
    TempDir dir;
    const std::string tails[] = {"", std::string(1, '\0'), rawRecord(512, 4).substr(0, 300)};
    for (const std::string& tail : tails) {
        writeFile(dir.file("cut.bin"), rawRecord(512, 1) + tail);
        DmxReplayReader reader;
        reader.adopt(openForReplay(dir.file("cut.bin")));
        Universe frame{};
        EXPECT_EQ(reader.next(frame), ReplayRead::Record) << tail.size();
        EXPECT_EQ(reader.next(frame), ReplayRead::End) << tail.size();
    }
    EXPECT_LT(openForReplay(dir.file("missing.bin")), 0);
}

TEST(DmxRecording, OnlyRegularFilesAreReplayedOrRecorded) {
    TempDir dir;
    // Neither blocks: a FIFO without a writer or reader is refused at once.
    ASSERT_EQ(::mkfifo(dir.file("fifo.bin").c_str(), 0644), 0);
    EXPECT_LT(openForReplay(dir.file("fifo.bin")), 0);
    EXPECT_LT(openForRecording(dir.file("fifo.bin")), 0);
    EXPECT_LT(openForReplay(dir.path()), 0);
    int fd = openForRecording(dir.file("new.bin"));
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    ::close(fd);
}

} // namespace
} // namespace orvane
