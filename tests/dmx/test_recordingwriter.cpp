// "dmxraw.bin" off the output thread: what the output thread's side hands the
// writer and in what order, a disk that stalls (a pipe nobody reads stands in
// for it), a write that fails, and what the operator is told.

#include "dmx/dmxoutput.h"
#include "dmx/recordingfeed.h"
#include "dmx/recordingwriter.h"
#include "support/recordingline.h"
#include "support/tempdir.h"
#include "test_outputtick_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace orvane {
namespace {

using namespace test;
using Kind = RecordSlot::Kind;

struct Taken {
    Kind kind;
    uint32_t session;
    uint64_t lost;
    bool operator==(const Taken&) const = default;
};

void PrintTo(const Taken& t, std::ostream* os) {
    static const char* kinds[] = {"Begin", "Record", "End"};
    *os << kinds[int(t.kind)] << "(session " << t.session << ", lost " << t.lost << ")";
}

std::vector<Taken> takeAll(RecordRing& ring, std::size_t* records = nullptr) {
    std::vector<Taken> out;
    while (const RecordSlot* slot = ring.front()) {
        if (slot->kind == Kind::Record && records)
            ++*records;
        else if (slot->kind != Kind::Record)
            out.push_back({slot->kind, slot->session, slot->lost});
        if (slot->kind == Kind::Begin)
            ::close(slot->fd);
        ring.pop();
    }
    return out;
}

int devNull() {
    return ::open("/dev/null", O_WRONLY | O_CLOEXEC);
}

TEST(RecordingFeed, StartsAndEndsKeepTheirOrderWhenTheRingIsFull) {
    RecordRing ring;
    std::atomic<uint32_t> failed{0};
    FileHandover handover;
    RecordingFeed feed(ring, failed);
    handover.offer(devNull());
    EXPECT_FALSE(feed.take(handover));
    int accepted = 0;
    while (feed.record(numbered(accepted)))
        ++accepted;
    EXPECT_EQ(accepted, int(RecordRing::kCapacity) - 1 - 2)
        << "room is kept for an end and a start";
    EXPECT_FALSE(feed.record(numbered(0)));

    handover.offer(devNull()); // a second recording: the first ends, the second starts
    EXPECT_FALSE(feed.take(handover));
    EXPECT_EQ(ring.freeSlots(), 0u);
    handover.requestStop(); // "Stop": no room for its end yet
    EXPECT_TRUE(feed.take(handover));
    EXPECT_FALSE(feed.record(numbered(0)));
    handover.offer(devNull()); // a third one waits in the handover meanwhile
    EXPECT_FALSE(feed.take(handover));
    EXPECT_TRUE(handover.pending());

    std::size_t records = 0;
    EXPECT_EQ(takeAll(ring, &records),
              (std::vector<Taken>{{Kind::Begin, 1, 0}, {Kind::End, 1, 2}, {Kind::Begin, 2, 0}}));
    EXPECT_EQ(records, std::size_t(accepted));
    EXPECT_FALSE(feed.take(handover)); // the end of the second, then the third's start
    EXPECT_FALSE(handover.pending());
    EXPECT_TRUE(feed.record(numbered(1)));
    feed.stop();
    records = 0;
    EXPECT_EQ(takeAll(ring, &records),
              (std::vector<Taken>{{Kind::End, 2, 0}, {Kind::Begin, 3, 0}, {Kind::End, 3, 0}}));
    EXPECT_EQ(records, 1u);
}

// The writer thread on a pipe that nobody reads: the "disk" stalls. The
// output side goes on recording without ever waiting; what found no room is
// counted, and the writer says so once the recording ends.
TEST(RecordingWriter, AStalledDiskCostsRecordsNeverAWait) {
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    RecordRing ring;
    std::atomic<uint32_t> failed{0};
    FileHandover handover;
    RecordingWriter writer(ring, handover, failed);
    RecordingFeed feed(ring, failed);
    handover.offer(pipeFds[1]);
    ASSERT_TRUE(writer.wake());
    feed.take(handover);

    // Nothing reads the pipe before this loop is through: were a record to
    // wait for the disk, the test would never end.
    constexpr int kTicks = 1000;
    std::vector<int> accepted;
    for (int i = 0; i < kTicks; ++i)
        if (feed.record(numbered(i)))
            accepted.push_back(i);
    feed.stop();
    ASSERT_LT(accepted.size(), std::size_t(kTicks)) << "the pipe should have stalled the writer";
    EXPECT_EQ(failed.load(), 0u);
    EXPECT_FALSE(writer.takeReport()) << "nothing is told before the recording has ended";

    std::string bytes;
    std::thread reader([&] {
        char buffer[8192];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, std::size_t(n));
    });
    std::optional<RecordingReport> report;
    for (int i = 0; i < 500 && !report; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        report = writer.takeReport();
    }
    reader.join(); // the writer closed the file at the end of the recording
    ::close(pipeFds[0]);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, (RecordingReport{accepted.size(), kTicks - accepted.size(), 0}));
    ASSERT_EQ(bytes.size(), accepted.size() * kRecordBytes);
    for (std::size_t k = 0; k < accepted.size(); ++k)
        ASSERT_EQ(bytes.substr(k * kRecordBytes, kRecordBytes), recordOf(numbered(accepted[k])))
            << "record " << k;
}

TEST(RecordingWriter, WhatTheOperatorIsTold) {
    struct Case {
        const char* name;
        RecordingReport report;
        const char* text;
    };
    const Case cases[] = {
        {"records lost",
         {900, 57, 0},
         "Recording /show/dmxraw.bin: 57 records were lost: the disk did not keep up"},
        {"a write that failed",
         {300, 0, ENOSPC},
         "Recording /show/dmxraw.bin: writing stopped after 300 records: No space left on device"},
        {"both",
         {5, 2, EIO},
         "Recording /show/dmxraw.bin: writing stopped after 5 records: Input/output error; 2 "
         "records were lost: the disk did not keep up"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recordingReportText("/show/dmxraw.bin", c.report), c.text) << c.name;
}

// A file that may not grow past five and a half records: the sixth write
// fails (EFBIG), the file keeps five whole records, the recording ends and
// the operator is told.
TEST(RecordingWriter, AWriteThatFailsEndsTheRecordingAndIsTold) {
    unsetenv("ORVANE_DMX_PORT");
    RecordingLine line;
    DmxOutputOptions o;
    o.dmxPortSetting = [] { return "/dev/ttyDMX"; };
    o.runThread = false;
    DmxOutput output(line, o);
    ASSERT_EQ(output.start(), 0);
    TempDir dir;
    std::string path = dir.file(kRecordingFileName);
    ASSERT_TRUE(output.startRecording(path));

    struct rlimit before {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 5 * kRecordBytes + kRecordBytes / 2;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int64_t now = 1000;
    std::vector<std::string> statuses;
    for (int i = 0; i < 10; ++i) {
        output.runTick(now += kTickPeriodMs);
        if (auto text = output.pollStatus())
            statuses.push_back(*text);
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(statuses,
              (std::vector<std::string>{"recording dmw raw 1", "recording dmw raw 2",
                                        "recording dmw raw 3", "recording dmw raw 4",
                                        "recording dmw raw 5", "recording dmw raw 6", ""}));
    EXPECT_EQ(readFile(path).size(), 5 * kRecordBytes);
    EXPECT_EQ(output.pollRecordingReport(),
              "Recording " + path + ": writing stopped after 5 records: File too large");
    EXPECT_EQ(output.pollRecordingReport(), std::nullopt) << "told once";
}

} // namespace
} // namespace orvane
