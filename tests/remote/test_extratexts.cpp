// A step's extra text down to the bytes the devices and the remote host get:
// VEDA=, SUPERSCAN1= and SUPERSCAN1COLOR= through the real extra commands.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "devicerig.h"
#include "playback/extracommands.h"
#include "playback/stepeffects.h"
#include "remote/remotecontrol.h"
#include "show/inifile.h"

#include <gtest/gtest.h>

#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

struct Steps {
    explicit Steps(IpDevices* devices, IpLink* link)
        : extra(controls, session.store(), effects, services(devices, link)) {}

    static ExtraServices services(IpDevices* devices, IpLink* link) {
        ExtraServices s;
        s.ipDevices = devices;
        s.ipLink = link;
        return s;
    }

    void run(std::string_view text) { extra.run(text, 0ms); }

    ProfileFiles profiles;
    ControlModel controls;
    bool declared = (populateConsole(controls), true);
    ShowSession session{profiles, controls};
    StepEffects effects{session.console(), controls, 1};
    ExtraCommands extra;
};

const std::string kAlive(kKeepAliveText);

} // namespace

TEST(ExtraTexts, VedaSleepStopsKeepAlivesAndABroadcastAtThatDevice) {
    DeviceRig rig;
    Steps steps(&rig.server, nullptr);
    Fd before = rig.device("127.0.0.4");
    Fd sleeper = rig.device("127.0.0.23");
    Fd twin = rig.device("127.0.1.23");
    Fd after = rig.device("127.0.0.9");
    auto received = [&] {
        rig.server.flush();
        return std::vector<std::string>{readQuiet(before), readQuiet(sleeper), readQuiet(twin),
                                        readQuiet(after)};
    };
    using Seen = std::vector<std::string>;
    const std::string sleep = "SLEEP               ";

    steps.run("VEDA=[23]SLEEP");
    EXPECT_EQ(received(), (Seen{"", sleep, sleep, ""}));
    rig.keepAlive(1000);
    EXPECT_EQ(received(), (Seen{kAlive, "", "", kAlive}));
    steps.run("VEDA=HELLO");
    EXPECT_EQ(received(), (Seen{"HELLO               ", "", "", ""}));
    steps.run("VEDA=[4;9]PLAY");
    EXPECT_EQ(received(), (Seen{"PLAY                ", "", "", "PLAY                "}));
    // A text longer than 20 characters (here with a second line) is never sent.
    steps.run("VEDA=HELLO\r\nSMOKE=ON AND MORE");
    EXPECT_EQ(received(), (Seen{"", "", "", ""}));
}

TEST(ExtraTexts, SuperscanTextsGoOverTheLink) {
    uint16_t port = 0;
    Fd host(listenLoopback(&port));
    RemoteOptions options;
    options.linkPort = port;
    RemoteControl remote(options);
    remote.setLog([](std::string_view, uint32_t) {});
    Steps steps(&remote.ipDevices(), &remote.ipLink());
    steps.run("SUPERSCAN1=NOT SENT"); // the link is closed
    Fd peer;
    std::thread accept([&] {
        peer.reset(acceptWithin(host, 2000));
        readBytes(peer, 7);
        sendAll(peer, "OK");
    });
    ASSERT_TRUE(remote.openIpLink());
    accept.join();

    steps.run("SUPERSCAN1=MODE=3,rest\r\nSUPERSCAN1COLOR=OFF");
    EXPECT_EQ(readQuiet(peer), "MODE=3");
    for (int64_t t = 0; t < 12000; t += kTickPeriodMs)
        remote.tickHooks().ipHeartbeat(Milliseconds{t + 50000});
    EXPECT_EQ(readQuiet(peer), "!ALIVE!ALIVE");
    steps.run("SUPERSCAN1COLOR=ON");
    remote.tickHooks().ipHeartbeat(Milliseconds{70000});
    EXPECT_EQ(readQuiet(peer), "!COL:000000");
}

// Whatever a step's text cannot deliver is said in the log, in dark red, with
// the text and the reason; only the devices it could reach get it.
TEST(ExtraTexts, TextsThatCannotGoOutAreLoggedWithTheReason) {
    RemoteOptions options;
    options.devices.port = 0;
    options.devices.bindAddress = "127.0.0.1";
    RemoteControl remote(options);
    std::vector<LogLine> log;
    remote.setLog([&](std::string_view line, uint32_t colour) {
        log.push_back({std::string(line), colour});
    });
    ASSERT_EQ(remote.startIpServer(), 0);
    Steps steps(&remote.ipDevices(), &remote.ipLink());
    steps.extra.services().notSent = [&](std::string_view text, std::string_view reason) {
        remote.logNotSent(text, reason);
    };
    uint16_t port = remote.deviceServer().port();
    Fd first(connectTcp("127.0.0.7", port));
    Fd sleeper(connectTcp("127.0.0.23", port));
    Fd last(connectTcp("127.0.0.9", port));
    ASSERT_TRUE(waitUntil([&] { return remote.deviceServer().connectedDevices() == 3; }));

    struct Case {
        const char* text;
        std::vector<std::string> logged;
        const char* firstGets;
    };
    const Case cases[] = {
        {"VEDA=[12]PLAY", {"ovi: no device 12 connected, [PLAY] not sent"}, ""},
        {"VEDA=HELLO\r\nSMOKE=ON AND MORE",
         {"[VEDA=HELLO??SMOKE=ON AND MORE] not sent: longer than 20 characters"},
         ""},
        {"SUPERSCAN1=GO,rest", {"[SUPERSCAN1=GO] not sent: \"Use IP devices\" is off"}, ""},
        {"VEDA=[23]SLEEP", {}, ""},
        {"VEDA=HELLO",
         {"ovi[23] sleeping, [HELLO] not sent to it or the devices after it"},
         "HELLO               "},
    };
    remote.poll(Milliseconds{0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        size_t before = log.size();
        steps.run(c.text);
        remote.deviceServer().flush();
        remote.poll(Milliseconds{0});
        std::vector<std::string> added;
        for (size_t i = before; i < log.size(); ++i)
            added.push_back(log[i].text);
        EXPECT_EQ(added, c.logged);
        EXPECT_EQ(readQuiet(first), c.firstGets);
        EXPECT_EQ(readQuiet(last), "");
    }
    for (const LogLine& line : log)
        EXPECT_TRUE(line.text.find("not sent") == std::string::npos || line.colour == kLogDarkRed)
            << line.text;
    remote.stopIpServer();
}
