// The IP device server on real loopback connections: device numbers, the log,
// keep-alives, sleep and wake, files, and peers that misbehave.

#include "devicerig.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

const std::string kAlive(kKeepAliveText);

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = char(rng() % 7 == 0 ? 0 : rng());
    return s;
}

} // namespace

TEST(IpDevices, DevicesAreLoggedByTheirLastOctetExceptDeviceOne) {
    DeviceRig rig;
    EXPECT_TRUE(rig.logHas("ip ovi server started on port " + std::to_string(rig.server.port())));
    {
        Fd quiet = rig.device("127.0.0.1");
        sendAll(quiet, "hello from one");
    }
    ASSERT_TRUE(waitUntil([&] { return rig.server.connectedDevices() == 0; }));
    {
        Fd d = rig.device("127.0.0.23");
        sendAll(d, "OK ready");
        ASSERT_TRUE(waitUntil([&] { return rig.logHas("says[OK ready]"); }));
        sendAll(d, std::string("ERR\0hidden", 10));
        ASSERT_TRUE(waitUntil([&] { return rig.logHas("says[ERR]"); }));
    }
    ASSERT_TRUE(waitUntil([&] { return rig.logHas("ovi[23] disconnected"); }));
    std::vector<LogLine> expected = {
        {"ip ovi server started on port " + std::to_string(rig.server.port()), kLogTeal},
        {"ovi[23] connected", kLogTeal},
        {"ovi[23] says[OK ready]", kLogTeal},
        {"ovi[23] says[ERR]", kLogDarkRed},
        {"ovi[23] disconnected", kLogTeal},
    };
    EXPECT_EQ(rig.collect(), expected);
}

TEST(IpDevices, TwoDevicesWithTheSameLastOctetBothGetTheirCommands) {
    DeviceRig rig;
    Fd a = rig.device("127.0.0.23");
    Fd b = rig.device("127.0.1.23");
    Fd other = rig.device("127.0.0.24");
    const std::string hello = DeviceRig::padded("HELLO");
    ASSERT_EQ(rig.send(23, hello), 0);
    EXPECT_EQ(readQuiet(a), hello);
    EXPECT_EQ(readQuiet(b), hello);
    EXPECT_EQ(readQuiet(other), "");
    ASSERT_EQ(rig.send(kAllDevices, DeviceRig::padded("ALL")), 0);
    for (int fd : {a.get(), b.get(), other.get()})
        EXPECT_EQ(readQuiet(fd), DeviceRig::padded("ALL"));
}

TEST(IpDevices, ASleepingDeviceGetsNoKeepAliveAndEndsABroadcastAtItsPlace) {
    DeviceRig rig;
    Fd first = rig.device("127.0.0.5");
    Fd sleeper = rig.device("127.0.0.23");
    Fd last = rig.device("127.0.0.7");
    auto received = [&] {
        return std::vector<std::string>{readQuiet(first), readQuiet(sleeper), readQuiet(last)};
    };
    using Seen = std::vector<std::string>;

    rig.keepAlive(0);
    EXPECT_EQ(received(), (Seen{kAlive, kAlive, kAlive}));
    const std::string sleep = DeviceRig::padded("SLEEP");
    rig.send(23, sleep);
    EXPECT_EQ(received(), (Seen{"", sleep, ""}));

    rig.keepAlive(1000);
    EXPECT_EQ(received(), (Seen{kAlive, "", kAlive}));
    const std::string hello = DeviceRig::padded("HELLO");
    rig.send(kAllDevices, hello);
    EXPECT_EQ(received(), (Seen{hello, "", ""}));

    // A WAKEUP text reaches it; only its answer wakes it.
    const std::string wakeup = DeviceRig::padded("WAKEUP");
    rig.send(kAllDevices, wakeup);
    EXPECT_EQ(received(), (Seen{wakeup, wakeup, wakeup}));
    rig.keepAlive(1000);
    EXPECT_EQ(received(), (Seen{kAlive, "", kAlive}));
    sendAll(sleeper, "OK:SLEEP:WAKEUP");
    ASSERT_TRUE(waitUntil([&] { return rig.logHas("ovi[23] says[OK:SLEEP:WAKEUP]"); }));
    rig.send(kAllDevices, hello);
    EXPECT_EQ(received(), (Seen{hello, hello, hello}));
    rig.keepAlive(1000);
    EXPECT_EQ(received(), (Seen{kAlive, kAlive, kAlive}));
}

TEST(IpDevices, ADeviceThatSaysItSleepsIsLeftAloneUntilItConnectsAgain) {
    DeviceRig rig;
    {
        Fd d = rig.device("127.0.0.40");
        sendAll(d, "OK:SLEEP:ENTERSLEEP");
        ASSERT_TRUE(waitUntil([&] { return rig.logHas("says[OK:SLEEP:ENTERSLEEP]"); }));
        rig.keepAlive(1000);
        EXPECT_EQ(readQuiet(d), "");
    }
    ASSERT_TRUE(waitUntil([&] { return rig.server.connectedDevices() == 0; }));
    Fd again = rig.device("127.0.0.40");
    rig.keepAlive(1000);
    EXPECT_EQ(readQuiet(again), kAlive);
}

TEST(IpDevices, AKeepAliveGoesOutOncePerSecondEvenWhenTheTimerIsALittleEarly) {
    DeviceRig rig;
    Fd d = rig.device("127.0.0.9");
    std::string got;
    for (int64_t step : {0, 960, 960, 500, 520, 1000})
        rig.keepAlive(step), got += readQuiet(d, 20) == kAlive ? "A" : ".";
    EXPECT_EQ(got, "AAA.AA");
}

TEST(IpDevices, AFileGoesOutBehindItsHeaderAndTheDeviceIsLeftToAnswer) {
    DeviceRig rig;
    std::string bytes = std::string(1234567, 'x');
    for (size_t i = 0; i < bytes.size(); i += 1000)
        bytes[i] = char(i / 1000);
    writeFile(rig.dir.file("pic.bmp"), bytes);
    Fd d = rig.device("127.0.0.23");

    ASSERT_EQ(rig.send(23, DeviceRig::padded("UCIM=Apic.bmp")), 0);
    EXPECT_EQ(readBytes(d, 20), "UCIM=A0001234567    ");
    EXPECT_TRUE(readBytes(d, bytes.size()) == bytes);
    ASSERT_TRUE(waitUntil([&] { return rig.logHas("ovi[23] sent 1234567 bytes"); }));
    EXPECT_TRUE(rig.logHas("ovi[23] sending 1234567 bytes"));

    // No keep-alive while the device owes its answer.
    rig.keepAlive(5000);
    EXPECT_EQ(readQuiet(d), "");
    sendAll(d, "OK:IMAGE");
    ASSERT_TRUE(waitUntil([&] { return rig.logHas("ovi[0] bytes received"); })); // its slot
    // The next keep-alive comes 2000 ms after the file was sent.
    rig.clock.advance(-5000ms);
    rig.keepAlive(1500);
    EXPECT_EQ(readQuiet(d), "");
    rig.keepAlive(500);
    EXPECT_EQ(readQuiet(d), kAlive);
}

TEST(IpDevices, FileNamesWithBackslashesAndAnyCaseAreFound) {
    DeviceRig rig;
    ASSERT_TRUE(::mkdir(rig.dir.file("cl").c_str(), 0755) == 0);
    writeFile(rig.dir.file("cl/intro.mp4"), "video!");
    Fd d = rig.device("127.0.0.8");
    ASSERT_EQ(rig.send(8, DeviceRig::padded("UCVI=VCl\\Intro.MP4")), 0);
    EXPECT_EQ(readBytes(d, 26), "UCVI=V0000000006    video!");
    EXPECT_TRUE(rig.logHas("taken as [" + rig.dir.file("cl/intro.mp4") + "]"));
}

TEST(IpDevices, FileErrorsAreLoggedAndNothingIsSent) {
    IpDeviceServerOptions options;
    options.fileBytesLimit = 1000;
    DeviceRig rig(options);
    writeFile(rig.dir.file("big.bmp"), std::string(1001, 'b'));
    ::mkdir(rig.dir.file("folder.bmp").c_str(), 0755);
    Fd d = rig.device("127.0.0.8");
    struct Case {
        std::string text;
        std::string line;
    };
    const Case cases[] = {
        {"UCIM=Anothere.bmp", "ovi send error, can't open [nothere.bmp]"},
        {"UCVI=Afolder.bmp", "ovi send error, can't open [folder.bmp]"},
        {"UCIM=Abig.bmp", "ovi send error, alloc error reading [UCIM=Abig.bmp       ]"},
    };
    for (const Case& c : cases) {
        rig.send(kAllDevices, DeviceRig::padded(c.text));
        EXPECT_TRUE(rig.logHas(c.line)) << c.text;
        EXPECT_EQ(rig.log.back().colour, kLogDarkRed);
    }
    EXPECT_EQ(readQuiet(d), "");
}

TEST(IpDevices, OnlyTextsOfTwentyCharactersAreSent) {
    DeviceRig rig;
    Fd d = rig.device("127.0.0.8");
    EXPECT_EQ(rig.send(8, std::string(19, 'a')), kBadDeviceText);
    EXPECT_EQ(rig.send(8, std::string(21, 'a')), kBadDeviceText);
    EXPECT_EQ(readQuiet(d), "");
    // Characters, not bytes: "É" counts as one.
    std::string accented = "\xC3\x89" + std::string(19, 'a');
    EXPECT_EQ(rig.send(8, accented), 0);
    EXPECT_EQ(readQuiet(d), accented);
}

TEST(IpDevices, ASlowDeviceTakesABigVideoWhileTheOthersAreServed) {
    DeviceRig rig;
    const size_t size = 50u * 1024 * 1024;
    std::string video(size, 'v');
    for (size_t i = 0; i < size; i += 4096)
        video[i] = char(i / 4096);
    writeFile(rig.dir.file("show.mp4"), video);
    Fd slow = rig.device("127.0.0.30", 4096);
    Fd other = rig.device("127.0.0.31");

    // Handing the send over returns before the device has read a byte.
    ASSERT_EQ(rig.send(30, DeviceRig::padded("UCVI=Vshow.mp4")), 0);
    for (int second = 0; second < 3; ++second) {
        rig.keepAlive(1000);
        EXPECT_EQ(readQuiet(other), kAlive) << second;
        rig.send(31, DeviceRig::padded("PLAY"));
        EXPECT_EQ(readQuiet(other), DeviceRig::padded("PLAY"));
    }
    EXPECT_FALSE(rig.logHas("ovi[30] sent"));
    std::string got = readBytes(slow, 20 + size, 30000);
    ASSERT_EQ(got.size(), 20 + size);
    EXPECT_EQ(got.substr(0, 20), "UCVI=V0052428800    ");
    EXPECT_TRUE(got.compare(20, size, video) == 0);
    EXPECT_TRUE(waitUntil([&] { return rig.logHas("ovi[30] sent 52428800 bytes"); }));
}

TEST(IpDevices, AFloodOfGarbageIsHeldAndTheOthersAreServed) {
    IpDeviceServerOptions options;
    options.logBurst = 20;
    options.logPerSecond = 5;
    options.readBytesPerSecond = 256 * 1024;
    DeviceRig rig(options, false);
    Fd calm = rig.device("127.0.0.10");
    Fd flood = rig.device("127.0.0.66");
    std::atomic<bool> stop{false};
    std::thread flooder([&] {
        std::string garbage = randomBytes(64 * 1024, 3);
        while (!stop && sendAll(flood, garbage)) {
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    rig.keepAlive(0);
    EXPECT_EQ(readQuiet(calm), kAlive);
    rig.send(10, DeviceRig::padded("STILL THERE"));
    EXPECT_EQ(readQuiet(calm), DeviceRig::padded("STILL THERE"));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    stop = true;
    ::shutdown(flood, SHUT_RDWR);
    flooder.join();

    EXPECT_TRUE(
        waitUntil([&] { return rig.logHas("ovi[66] sends more than 262144 bytes a second"); }));
    rig.collect();
    // What devices say and the server's own events each have a burst of 20
    // plus 5 a second, and a count beside each line let through.
    EXPECT_LE(rig.log.size(), 4u * (20 + 5 * 3));
    EXPECT_TRUE(rig.logHas("log lines left out"));
    for (const LogLine& l : rig.log)
        for (char c : l.text)
            EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20) << l.text;
}

TEST(IpDevices, TwoHundredConnectionsFillTheTableAndTheRestAreClosedAtOnce) {
    DeviceRig rig;
    std::vector<Fd> devices;
    int refused = 0;
    for (int i = 0; i < 200; ++i) {
        std::string address = "127.0.3." + std::to_string(2 + i);
        Fd d(connectTcp(address.c_str(), rig.server.port()));
        ASSERT_GE(d, 0) << i;
        if (i < kDeviceSlots)
            ASSERT_TRUE(waitUntil([&] { return rig.server.connectedDevices() == i + 1; })) << i;
        else
            refused += peerClosed(d, 2000);
        devices.push_back(std::move(d));
    }
    EXPECT_EQ(refused, 200 - kDeviceSlots);
    EXPECT_EQ(rig.server.connectedDevices(), kDeviceSlots);
    EXPECT_EQ(rig.logCount("] connected"), kDeviceSlots);
    EXPECT_TRUE(rig.logHas("ovi: 1 connection(s) refused, all 128 places taken (last from "
                           "127.0.3.130)"));
    // The rest is summed up ten seconds later.
    rig.keepAlive(10000);
    EXPECT_TRUE(rig.logHas("ovi: 71 more connection(s) refused, all 128 places taken"));

    // A place that frees up is taken by the next device.
    devices[5].reset();
    ASSERT_TRUE(waitUntil([&] { return rig.server.connectedDevices() == kDeviceSlots - 1; }));
    Fd next = rig.device("127.0.4.77");
    rig.send(77, DeviceRig::padded("HELLO"));
    EXPECT_EQ(readQuiet(next), DeviceRig::padded("HELLO"));
}

TEST(IpDevices, RepeatedLinesFromOneDeviceAreSummed) {
    DeviceRig rig;
    Fd d = rig.device("127.0.0.12");
    for (int i = 0; i < 30; ++i) {
        sendAll(d, "OK");
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    ASSERT_TRUE(waitUntil([&] { return rig.logCount("ovi[12] says[OK]") == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    rig.keepAlive(10000); // ten seconds on: the count is logged
    ASSERT_TRUE(waitUntil([&] { return rig.logHas("ovi[12] said the same"); }));
    EXPECT_EQ(rig.logCount("ovi[12] says[OK]"), 1);
    sendAll(d, "OK:NEW");
    ASSERT_TRUE(waitUntil([&] { return rig.logHas("ovi[12] says[OK:NEW]"); }));
}
