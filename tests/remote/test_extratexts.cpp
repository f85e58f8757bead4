// A step's extra text down to the bytes the devices and the remote host get:
// VEDA=, SUPERSCAN1= and SUPERSCAN1COLOR= through the real extra commands.

#include "devicerig.h"
#include "playback/extracommands.h"
#include "playback/showsession.h"
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

    void run(std::string_view text) { extra.run(text, 0); }

    ProfileFiles profiles;
    ControlModel controls;
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
        remote.tickHooks().ipHeartbeat(t + 50000);
    EXPECT_EQ(readQuiet(peer), "!ALIVE!ALIVE");
    steps.run("SUPERSCAN1COLOR=ON");
    remote.tickHooks().ipHeartbeat(70000);
    EXPECT_EQ(readQuiet(peer), "!COL:000000");
}
