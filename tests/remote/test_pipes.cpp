// The two pipe servers on real local sockets, polled by a real output tick:
// what reaches the line from the frame pipe, what reaches the moving heads
// from the system pipe, and how clients come, go and misbehave.

#include "dmx/uiwake.h"
#include "remoterig.h"
#include "sockets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

Universe filled(uint8_t v) {
    Universe u;
    u.fill(v);
    return u;
}

std::string bytesOf(const Universe& u) {
    return std::string(u.begin(), u.end());
}

std::string le32(uint32_t v) {
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

std::string le16(uint16_t v) {
    return {char(v), char(v >> 8)};
}

// Code 1: pan and tilt of heads 2-5, pan = 1000 * head + 1, tilt = pan + 1.
std::string positionCommand() {
    std::string c = le32(1);
    for (int head = 2; head <= 5; ++head)
        c += le16(uint16_t(1000 * head + 1)) + le16(uint16_t(1000 * head + 2));
    return c;
}

// Code 2: all five values of heads 2-5.
std::string fullCommand() {
    std::string c = le32(2);
    for (int head = 2; head <= 5; ++head)
        c += le16(uint16_t(head * 100)) + le16(uint16_t(head * 200)) +
             std::string{char(head), char(head + 10), char(head + 20)};
    return c;
}

std::vector<HeadCommand> expectedPositions() {
    std::vector<HeadCommand> out;
    for (int head = 2; head <= 5; ++head)
        out.push_back(
            {uint8_t(head), false, uint16_t(1000 * head + 1), uint16_t(1000 * head + 2), 0, 0, 0});
    return out;
}

std::vector<HeadCommand> expectedFull() {
    std::vector<HeadCommand> out;
    for (int head = 2; head <= 5; ++head)
        out.push_back({uint8_t(head), true, uint16_t(head * 100), uint16_t(head * 200),
                       uint8_t(head), uint8_t(head + 10), uint8_t(head + 20)});
    return out;
}

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(rng());
    return s;
}

} // namespace

TEST(FramePipe, ABurstOfTwoFramesShowsTheSecond) {
    RemoteRig rig;
    Fd client(connectLocal(rig.pipePath(kFramePipeName)));
    ASSERT_GE(client, 0);
    rig.shared.output.publish(filled(7));
    ASSERT_TRUE(sendAll(client, bytesOf(filled(1)) + bytesOf(filled(2))));
    rig.tick(2); // break, then the frame
    ASSERT_EQ(rig.frames().size(), 1u);
    EXPECT_EQ(rig.lastFrame(), filled(2));
    EXPECT_TRUE(rig.logHas("pipe orvanepipeserver: client connected"));
}

TEST(FramePipe, AFrameSplitOverWritesIsTakenOnceComplete) {
    RemoteRig rig;
    Fd client(connectLocal(rig.pipePath(kFramePipeName)));
    rig.shared.output.publish(filled(7));
    std::string frame = bytesOf(filled(3));
    ASSERT_TRUE(sendAll(client, frame.substr(0, 300)));
    rig.tick(2);
    EXPECT_EQ(rig.lastFrame(), filled(7));
    ASSERT_TRUE(sendAll(client, frame.substr(300)));
    rig.tick(2);
    EXPECT_EQ(rig.lastFrame(), filled(3));

    // 513 bytes: one frame now, the extra byte waits for 511 more.
    ASSERT_TRUE(sendAll(client, bytesOf(filled(4)) + "\x05"));
    rig.tick(2);
    EXPECT_EQ(rig.lastFrame(), filled(4));
    ASSERT_TRUE(sendAll(client, std::string(511, '\x05')));
    rig.tick(2);
    EXPECT_EQ(rig.lastFrame(), filled(5));
}

TEST(FramePipe, TheOutputComesBack1000msAfterTheLastFrame) {
    RemoteRig rig;
    Fd client(connectLocal(rig.pipePath(kFramePipeName)));
    rig.shared.output.publish(filled(7));
    ASSERT_TRUE(sendAll(client, bytesOf(filled(9))));
    int64_t readAt = rig.now;
    rig.tick(1);
    std::vector<std::pair<int64_t, uint8_t>> seen;
    size_t count = rig.frames().size();
    while (rig.now < readAt + 1200) {
        int64_t at = rig.now;
        rig.tick(1);
        if (rig.frames().size() == count)
            continue; // a break tick
        count = rig.frames().size();
        seen.push_back({at - readAt, rig.lastFrame()[0]});
    }
    ASSERT_GT(seen.size(), 15u);
    EXPECT_EQ(seen.back().second, 7);
    for (auto [after, value] : seen)
        EXPECT_EQ(value, after < 1000 ? 9 : 7) << after << " ms after the frame";
}

TEST(FramePipe, AFloodIsReadThroughAndItsLastCompleteFrameShown) {
    RemoteRig rig;
    Fd client(connectLocal(rig.pipePath(kFramePipeName)));
    std::string flood = randomBytes(150 * 512 + 100, 1);
    // The flood is bigger than the socket takes at once: it is written from
    // aside while the ticks read.
    std::atomic<bool> written{false};
    std::thread writer([&] {
        sendAll(client, flood);
        written = true;
    });
    for (int i = 0; i < 1000 && !written; ++i)
        rig.tick(1);
    writer.join();
    rig.tick(4);
    Universe last;
    std::copy(flood.begin() + 149 * 512, flood.begin() + 150 * 512, last.begin());
    EXPECT_EQ(rig.lastFrame(), last);
    // The 100 bytes left over wait for the rest of their frame.
    ASSERT_TRUE(sendAll(client, std::string(412, '\x0b')));
    rig.tick(2);
    EXPECT_EQ(rig.lastFrame()[100], 0x0b);
    EXPECT_EQ(rig.lastFrame()[99], uint8_t(flood[150 * 512 + 99]));
}

TEST(FramePipe, ANewClientReplacesOneThatLeftAndASecondOneIsRefused) {
    RemoteRig rig;
    std::string path = rig.pipePath(kFramePipeName);
    {
        Fd first(connectLocal(path));
        rig.tick(1);
        Fd intruder(connectLocal(path));
        rig.tick(1);
        EXPECT_TRUE(peerClosed(intruder));
        ASSERT_TRUE(sendAll(first, bytesOf(filled(1))));
        rig.tick(2);
        EXPECT_EQ(rig.lastFrame(), filled(1));
    }
    rig.tick(1);
    Fd second(connectLocal(path));
    ASSERT_TRUE(sendAll(second, bytesOf(filled(2))));
    rig.tick(2);
    EXPECT_EQ(rig.lastFrame(), filled(2));
    EXPECT_TRUE(rig.logHas("pipe orvanepipeserver: 1 more client(s) refused, one is connected"));
    EXPECT_TRUE(rig.logHas("pipe orvanepipeserver: client left"));
}

// The window's ticks rest while nothing happens: whatever the output thread
// takes in from the pipes must wake them, and an idle tick must not.
TEST(SystemPipe, WhatComesInWakesTheWindowsTicksAndAnIdleTickDoesNot) {
    RemoteRig rig;
    std::string path = rig.pipePath(kSystemPipeName);
    auto pokesOver = [&rig](const std::function<void()>& happen) {
        uint64_t before = uiwake::pokes();
        happen();
        rig.outputTick.run(rig.now += kTickPeriodMs);
        return uiwake::pokes() - before;
    };
    Fd client, intruder;
    EXPECT_EQ(pokesOver([] {}), 0u) << "idle";
    EXPECT_GT(pokesOver([&] { client = Fd(connectLocal(path)); }), 0u) << "a client came";
    EXPECT_GT(pokesOver([&] { sendAll(client, fullCommand()); }), 0u) << "a head command";
    EXPECT_GT(pokesOver([&] { intruder = Fd(connectLocal(path)); }), 0u) << "one refused";
    EXPECT_GT(pokesOver([&] { client = Fd(); }), 0u) << "the client left";
    EXPECT_EQ(pokesOver([] {}), 0u) << "idle again";
}

TEST(SystemPipe, CommandsReachTheHeadsInOrder) {
    struct Case {
        const char* what;
        std::vector<std::string> writes;
        std::vector<HeadCommand> expected;
        uint32_t unknown;
    };
    std::string split = fullCommand();
    const Case cases[] = {
        {"code 3 then code 1", {le32(3) + positionCommand()}, expectedPositions(), 1},
        {"code 2", {fullCommand()}, expectedFull(), 0},
        {"code 1 in pieces",
         {positionCommand().substr(0, 3), positionCommand().substr(3, 9),
          positionCommand().substr(12)},
         expectedPositions(),
         0},
        {"code 2 without its last byte yet", {split.substr(0, 31)}, {}, 0},
        {"unknown codes only", {le32(0) + le32(7) + le32(0xFFFFFFFF)}, {}, 3},
    };
    for (const Case& c : cases) {
        RemoteRig rig;
        Fd client(connectLocal(rig.pipePath(kSystemPipeName)));
        for (const std::string& w : c.writes) {
            ASSERT_TRUE(sendAll(client, w));
            rig.tick(1);
        }
        EXPECT_EQ(rig.mover.moved, c.expected) << c.what;
        EXPECT_EQ(rig.logHas("unknown command code(s) skipped"), c.unknown > 0) << c.what;
        if (c.unknown) {
            EXPECT_TRUE(rig.logHas(": " + std::to_string(c.unknown) + " unknown")) << c.what;
        }
    }
}

TEST(SystemPipe, AClientThatLeavesMidCommandSpoilsNothingForTheNext) {
    RemoteRig rig;
    std::string path = rig.pipePath(kSystemPipeName);
    {
        Fd first(connectLocal(path));
        ASSERT_TRUE(sendAll(first, randomBytes(1001, 2) + positionCommand().substr(0, 6)));
        rig.tick(2);
    }
    rig.tick(1);
    size_t fromFirst = rig.mover.moved.size();
    Fd second(connectLocal(path));
    ASSERT_TRUE(sendAll(second, fullCommand()));
    rig.tick(2);
    std::vector<HeadCommand> fromSecond(rig.mover.moved.begin() + long(fromFirst),
                                        rig.mover.moved.end());
    EXPECT_EQ(fromSecond, expectedFull());
    for (const HeadCommand& c : rig.mover.moved) {
        EXPECT_GE(c.head, 2);
        EXPECT_LE(c.head, 5);
    }
}

TEST(SystemPipe, WithoutHeadWindowsCommandsAreDroppedAndTheLogSaysSoOnce) {
    RemoteRig rig;
    rig.remote.setHeadMover(nullptr);
    Fd client(connectLocal(rig.pipePath(kSystemPipeName)));
    ASSERT_TRUE(sendAll(client, positionCommand() + positionCommand()));
    rig.tick(2);
    ASSERT_TRUE(sendAll(client, fullCommand()));
    rig.tick(2);
    auto texts = rig.logTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(),
                         "pipe orvanesystemserver: no moving-head windows, head commands ignored"),
              1);
    rig.remote.setHeadMover(&rig.mover);
    ASSERT_TRUE(sendAll(client, positionCommand()));
    rig.tick(1);
    EXPECT_EQ(rig.mover.moved, expectedPositions());
}

TEST(SystemPipeDecoder, EverySplitOfACommandDecodesTheSame) {
    std::string stream = le32(9) + fullCommand() + positionCommand();
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        SystemPipeDecoder decoder;
        std::vector<HeadCommand> got;
        auto feed = [&](std::string_view part) {
            std::copy(part.begin(), part.end(), decoder.space().begin());
            decoder.decode(part.size(), [&](const HeadCommand& c) { got.push_back(c); });
        };
        feed(std::string_view(stream).substr(0, cut));
        feed(std::string_view(stream).substr(cut));
        std::vector<HeadCommand> expected = expectedFull();
        for (const HeadCommand& c : expectedPositions())
            expected.push_back(c);
        EXPECT_EQ(got, expected) << "cut at " << cut;
        EXPECT_EQ(decoder.unknownCodes(), 1u);
        EXPECT_EQ(decoder.pending(), 0u);
    }
}

TEST(SystemPipeDecoder, AFullRingCountsWhatItLoses) {
    HeadCommandQueue queue;
    for (uint32_t i = 0; i < HeadCommandQueue::kCapacity + 5; ++i)
        queue.push({2, false, uint16_t(i), 0, 0, 0, 0});
    EXPECT_EQ(queue.lost(), 5u);
    for (uint32_t i = 0; i < HeadCommandQueue::kCapacity; ++i)
        ASSERT_EQ(queue.pop()->pan, uint16_t(i));
    EXPECT_FALSE(queue.pop());
}

TEST(PipeFolder, AStaleSocketIsReplacedAndALiveOneIsLeftToItsOwner) {
    TempDir dir;
    std::string folder = dir.file("pipes");
    ASSERT_EQ(preparePipeFolder(folder), "");
    {
        // A socket file left by a program that ended.
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::string path = folder + "/" + kFramePipeName;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    auto owner = std::make_unique<RemoteRig>(RemoteOptions{}, folder);
    EXPECT_TRUE(owner->log.empty()) << owner->logTexts()[0];

    // A second program while the first still runs (a chained start).
    RemoteRig next(RemoteOptions{}, folder);
    EXPECT_TRUE(next.logHas("pipe orvanepipeserver cannot listen: " + folder +
                            "/orvanepipeserver is in use by another program; trying again "
                            "every second"));
    owner.reset();
    next.now += 1000;
    next.tick(1);
    EXPECT_TRUE(next.logHas("pipe orvanepipeserver ready at " + folder + "/orvanepipeserver"));
    EXPECT_TRUE(next.logHas("pipe orvanesystemserver ready at"));
    Fd client(connectLocal(next.pipePath(kFramePipeName)));
    ASSERT_TRUE(sendAll(client, bytesOf(filled(6))));
    next.tick(2);
    EXPECT_EQ(next.lastFrame(), filled(6));
}

TEST(PipeFolder, AFolderOthersMayWriteToIsRefused) {
    TempDir dir;
    std::string folder = dir.file("shared");
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ::chmod(folder.c_str(), 0777);
    RemoteRig rig(RemoteOptions{}, folder);
    EXPECT_TRUE(rig.logHas("pipe orvanepipeserver cannot listen: " + folder +
                           " may be written by other users"));
    struct stat st {};
    EXPECT_NE(::stat((folder + "/" + kFramePipeName).c_str(), &st), 0);
}

TEST(PipeFolder, ClosingTheFramePipeRemovesItsSocketOnly) {
    RemoteRig rig;
    std::string path = rig.pipePath(kFramePipeName);
    rig.remote.closeFramePipe();
    rig.now += 5000;
    rig.tick(1); // no retry for a pipe closed on purpose
    EXPECT_LT(connectLocal(path), 0);
    Fd system(connectLocal(rig.pipePath(kSystemPipeName)));
    EXPECT_GE(system, 0);
}
