// The IP link against a real listening peer on loopback: the opening, the
// colour reports and keep-alives the output tick sends, and a link that ends.

#include "remote/remotecontrol.h"
#include "sockets.h"

#include <gtest/gtest.h>

#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

struct LinkRig {
    LinkRig() {
        listener.reset(listenLoopback(&port));
        RemoteOptions options;
        options.linkHost = "127.0.0.1";
        options.linkPort = port;
        options.currentColour = [this] { return colour; };
        remote = std::make_unique<RemoteControl>(options);
        remote->setLog([this](std::string_view line, uint32_t c) {
            log.push_back({std::string(line), c});
        });
    }

    // Opens the link while the peer accepts it and answers "!FORM:C" (or not).
    bool open(bool answer) {
        std::thread host([&] {
            peer.reset(acceptWithin(listener, 2000));
            formSeen = readBytes(peer, 7);
            if (answer)
                sendAll(peer, "OK");
        });
        bool ok = remote->openIpLink();
        host.join();
        return ok;
    }

    // Output ticks every 30 ms from `from` for `ms`, with the window's poll.
    void ticks(int64_t from, int64_t ms) {
        for (int64_t t = from; t < from + ms; t += kTickPeriodMs) {
            remote->poll(Milliseconds{t});
            remote->tickHooks().ipHeartbeat(Milliseconds{t});
        }
    }

    uint16_t port = 0;
    Fd listener;
    Fd peer;
    std::string formSeen;
    CurrentColour colour{0x11, 0x22, 0x33};
    std::unique_ptr<RemoteControl> remote;
    std::vector<LogLine> log;
};

} // namespace

TEST(IpLink, OpeningAnnouncesItselfAndWaitsForTheAnswer) {
    LinkRig rig;
    ASSERT_TRUE(rig.open(true));
    EXPECT_EQ(rig.formSeen, "!FORM:C");
    EXPECT_EQ(rig.remote->link().reply(), "OK");
    EXPECT_TRUE(rig.remote->ipLinkOn());
    EXPECT_EQ(rig.log.back().text,
              "ip link connected to 127.0.0.1 port " + std::to_string(rig.port));

    // A second opening waits for its own answer: none comes, the link opens all the same.
    rig.remote->closeIpLink();
    EXPECT_FALSE(rig.remote->ipLinkOn());
    ASSERT_TRUE(rig.open(false));
    EXPECT_EQ(rig.remote->link().reply(), "");
    EXPECT_TRUE(rig.log.back().text.ends_with(", no answer yet"));
}

TEST(IpLink, AHostThatIsNotThereIsReported) {
    LinkRig rig;
    rig.listener.reset(); // nothing listens on the port any more
    EXPECT_FALSE(rig.remote->openIpLink());
    EXPECT_FALSE(rig.remote->ipLinkOn());
    ASSERT_FALSE(rig.log.empty());
    EXPECT_EQ(rig.log.back().text, "ip link cannot connect to 127.0.0.1 port " +
                                       std::to_string(rig.port) + ": Connection refused");
    EXPECT_EQ(rig.log.back().colour, kLogDarkRed);
}

TEST(IpLink, AConstantColourIsReportedAboutOnceASecond) {
    LinkRig rig;
    ASSERT_TRUE(rig.open(true));
    rig.ticks(100000, 3500);
    EXPECT_EQ(readQuiet(rig.peer), "!COL:332211!COL:332211!COL:332211!COL:332211");

    // A change goes out on the next tick.
    rig.colour = {0xAB, 0x00, 0xFF};
    rig.ticks(103500, 60);
    EXPECT_EQ(readQuiet(rig.peer), "!COL:FF00AB");
}

TEST(IpLink, WithoutColourReportsOnlyKeepAlivesGoOut) {
    LinkRig rig;
    ASSERT_TRUE(rig.open(true));
    rig.remote->ipLink().setColourReport(false);
    rig.ticks(100000, 25000);
    EXPECT_EQ(readQuiet(rig.peer), "!ALIVE!ALIVE!ALIVE");

    // After the box is unchecked and checked again the first message goes at once.
    rig.remote->closeIpLink();
    ASSERT_TRUE(rig.open(true));
    rig.ticks(125000, 30);
    EXPECT_EQ(readQuiet(rig.peer), "!ALIVE");
}

TEST(IpLink, StepTextsGoOutAsTheyAre) {
    LinkRig rig;
    rig.remote->ipLink().send("ignored while closed");
    ASSERT_TRUE(rig.open(true));
    rig.remote->ipLink().send("MODE=3");
    EXPECT_EQ(readQuiet(rig.peer), "MODE=3");
}

TEST(IpLink, ALinkTheHostEndsIsReportedOnce) {
    LinkRig rig;
    ASSERT_TRUE(rig.open(true));
    rig.peer.reset();
    rig.ticks(100000, 3000);
    int lost = 0;
    for (const LogLine& l : rig.log)
        lost += l.text.starts_with("ip link to 127.0.0.1 lost");
    EXPECT_EQ(lost, 1);
    EXPECT_TRUE(rig.remote->ipLinkOn()); // the box stays as the operator left it
}
