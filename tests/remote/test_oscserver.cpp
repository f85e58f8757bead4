// The OSC server on loopback with real peers: liblo's client and a socket
// speaking liblo's messages. Commands reach the ring, refusals reach the
// sender, subscribers get the state, and hostile traffic is dropped, counted
// and logged a line per kind while the server goes on serving.

#include "remote/oscserver.h"
#include "support/oscclient.h"

#include <lo/lo.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct OscServerFixture : ::testing::Test {
    RemoteCommandRing ring;
    RemoteStateBoard board;
    std::unique_ptr<OscServer> server;
    std::vector<LogLine> log;

    void SetUp() override { start({}); }
    void start(OscServerOptions options) {
        options.port = 0;
        options.logInterval = std::chrono::hours(1); // no counts while a test runs
        server = std::make_unique<OscServer>(options, ring, board);
        std::string error;
        ASSERT_TRUE(server->start(&error)) << error;
    }
    uint16_t port() const { return server->port(); }
    std::optional<RemoteCommand> nextCommand() {
        std::optional<RemoteCommand> c;
        waitUntil([&] { return (c = ring.pop()).has_value(); });
        return c;
    }
    // The log lines so far that hold text (waiting a little for the first).
    int logged(const std::string& text) {
        int n = 0;
        waitUntil([&] { return (n = loggedNow(text)) > 0; }, 1000);
        return n;
    }
    int loggedNow(const std::string& text) {
        for (LogLine& l : server->takeLog())
            log.push_back(std::move(l));
        int n = 0;
        for (const LogLine& l : log)
            n += l.text.find(text) != std::string::npos;
        return n;
    }
};

} // namespace

TEST_F(OscServerFixture, CommandsFromLibloReachTheRingAndRefusalsAnswerTheSender) {
    lo_address address = lo_address_new("127.0.0.1", std::to_string(port()).c_str());
    lo_send(address, "/orvane/step", "i", 4);
    lo_send(address, "/orvane/master", "f", 0.5f);
    lo_send(address, "/orvane/go", "");
    lo_address_free(address);
    std::vector<RemoteCommand> got;
    for (int i = 0; i < 3; ++i)
        if (std::optional<RemoteCommand> c = nextCommand())
            got.push_back(*c);
    EXPECT_EQ(got, (std::vector<RemoteCommand>{
                       {RemoteVerb::Step, 4}, {RemoteVerb::Master, 0, 0.5f}, {RemoteVerb::Go}}));

    OscClient client;
    client.send("/orvane/step", port(), "i", {{900}});
    std::optional<OscMessage> answer = client.receive(5000);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->address, "/orvane/error");
    ASSERT_EQ(answer->types, "s");
    EXPECT_EQ(answer->args[0].s, "/orvane/step: step 900 is not in 0-499");
    EXPECT_TRUE(ring.empty()) << "nothing changes";
    EXPECT_EQ(server->counts().refused, 1u);
    EXPECT_EQ(logged("/orvane/step (,i) from 127.0.0.1:"), 1);
}

TEST_F(OscServerFixture, ASubscriberGetsTheWholeStateThenEachChange) {
    RemoteState state;
    state.step = 3;
    state.caption = "Act one";
    state.next = 4;
    state.nextCaption = "Storm";
    state.output = "/dev/ttyUSB0: open";
    board.publish(state);
    OscClient client;
    client.send("/orvane/subscribe", port());
    std::vector<OscMessage> whole;
    for (int i = 0; i < 5; ++i)
        if (std::optional<OscMessage> m = client.receive(5000))
            whole.push_back(*m);
    ASSERT_EQ(whole.size(), 5u);
    EXPECT_EQ(whole[0].address, "/orvane/state/step");
    EXPECT_EQ(whole[0].args[0].i, 3);
    EXPECT_EQ(whole[0].args[1].s, "Act one");
    EXPECT_EQ(whole[1].address, "/orvane/state/next");
    EXPECT_EQ(whole[1].args[1].s, "Storm");
    EXPECT_EQ(whole[2].address, "/orvane/state/output");
    EXPECT_EQ(whole[3].address, "/orvane/state/master");
    EXPECT_EQ(whole[4].address, "/orvane/state/fade");
    EXPECT_EQ(logged("OSC: 127.0.0.1:"), 1) << "subscribed";

    // Only what changed, with its new value.
    state.master = 0.25;
    board.publish(state);
    std::optional<OscMessage> change = client.receive(5000);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->address, "/orvane/state/master");
    EXPECT_FLOAT_EQ(float(change->args[0].f), 0.25f);
    EXPECT_FALSE(client.receive(200)) << "nothing else changed";

    // The seventeenth subscriber is told no.
    std::vector<std::unique_ptr<OscClient>> others;
    for (int i = 0; i < 15; ++i) {
        others.push_back(std::make_unique<OscClient>());
        others.back()->send("/orvane/subscribe", port());
    }
    ASSERT_TRUE(waitUntil([&] { return server->counts().subscribers == 16; }));
    OscClient late;
    late.send("/orvane/subscribe", port());
    std::optional<OscMessage> no = late.receive(5000);
    ASSERT_TRUE(no);
    EXPECT_EQ(no->address, "/orvane/error");
    EXPECT_EQ(no->args[0].s, "/orvane/subscribe: 16 subscribers already");
}

TEST_F(OscServerFixture, ASubscriberWaitsForTheFirstState) {
    OscClient client;
    client.send("/orvane/subscribe", port());
    EXPECT_FALSE(client.receive(200)) << "no state yet: nothing made up";
    RemoteState state;
    state.caption = "Doors";
    board.publish(state);
    std::optional<OscMessage> step = client.receive(5000);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->address, "/orvane/state/step");
    EXPECT_EQ(step->args[1].s, "Doors");
}

TEST_F(OscServerFixture, AThousandMalformedDatagramsAreDroppedWithOneLogLine) {
    std::mt19937 random(27);
    std::vector<uint8_t> good = encodeOscMessage("/orvane/step", "i", {{7}});
    OscClient client;
    int sent = 0;
    while (sent < 1000) {
        // A good message damaged: cut, bytes changed, or pure noise.
        std::vector<uint8_t> bad = good;
        switch (random() % 3) {
        case 0:
            bad.resize(random() % bad.size());
            break;
        case 1:
            for (int k = 0; k < 3; ++k)
                bad[random() % bad.size()] = uint8_t(random());
            break;
        default:
            bad.resize(4 * (1 + random() % 64));
            for (uint8_t& b : bad)
                b = uint8_t(random());
        }
        std::vector<OscMessage> messages;
        if (decodeOscPacket(bad.data(), bad.size(), messages))
            continue; // still a message: not what this test sends
        client.send(bad, port());
        // Paced, so that the socket's buffer never overflows on a busy machine.
        if (++sent % 100 == 0) {
            ASSERT_TRUE(waitUntil([&] { return server->counts().datagrams == uint64_t(sent); }));
        }
    }
    EXPECT_EQ(server->counts().malformed, 1000u);
    EXPECT_EQ(server->counts().commands, 0u);
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(logged("malformed packet from 127.0.0.1:"), 1);
    EXPECT_EQ(logged("OSC: "), 1) << "one line for the whole flood";
    // The server serves on.
    client.send(good, port());
    std::optional<RemoteCommand> c = nextCommand();
    ASSERT_TRUE(c);
    EXPECT_EQ(*c, (RemoteCommand{RemoteVerb::Step, 7}));
}

TEST_F(OscServerFixture, EachKindOfTroubleHasItsLineAndAFullRingDropsCommands) {
    OscClient client;
    for (int i = 0; i < 3; ++i) {
        client.send("/orvane/nothing", port());
        client.send("/orvane/master", port(), "s", {{0, 0, "loud"}});
    }
    // Nobody takes commands off the ring: it fills, the rest is dropped.
    // Paced, so that the socket's buffer never overflows on a busy machine.
    for (size_t i = 1; i <= RemoteCommandRing::kCapacity + 10; ++i) {
        client.send("/orvane/back", port());
        if (i % 50 == 0) {
            ASSERT_TRUE(waitUntil([&] { return server->counts().datagrams == i + 6; }));
        }
    }
    ASSERT_TRUE(waitUntil([&] { return server->counts().ringFull == 10; }));
    EXPECT_EQ(server->counts().unknown, 3u);
    EXPECT_EQ(server->counts().refused, 3u);
    EXPECT_EQ(server->counts().commands, RemoteCommandRing::kCapacity);
    EXPECT_EQ(logged("unknown address /orvane/nothing from"), 1);
    EXPECT_EQ(logged("/orvane/master (,s) from"), 1);
    EXPECT_EQ(logged("/orvane/back from"), 1);
    EXPECT_EQ(logged("commands come faster than the console takes them"), 1);
}

TEST_F(OscServerFixture, ErrorAnswersAreHeldToARateForAllSendersTogether) {
    OscClient client;
    for (int i = 0; i < 100; ++i)
        client.send("/orvane/step", port(), "i", {{-5}});
    ASSERT_TRUE(waitUntil([&] { return server->counts().refused == 100; }));
    int answers = 0;
    while (client.receive(100))
        ++answers;
    // A burst of 20, and the few the rate lets through while the burst was read.
    EXPECT_GE(answers, 20);
    EXPECT_LT(answers, 40);
}

TEST_F(OscServerFixture, StopEndsTheServiceAndStartOpensItAgain) {
    uint16_t first = port();
    server->stop();
    EXPECT_FALSE(server->running());
    OscClient client;
    client.send("/orvane/go", first);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(ring.empty());
    std::string error;
    ASSERT_TRUE(server->start(&error)) << error;
    client.send("/orvane/go", port());
    EXPECT_TRUE(nextCommand());
}

TEST(OscSettings, PortAndBindAddress) {
    struct Case {
        const char* name;
        const char* port;
        const char* bind;
        bool on;
        const char* error;
        uint16_t wantPort;
        const char* wantBind;
    };
    const Case cases[] = {
        {"off", "", "", false, "", 0, ""},
        {"loopback by default", "9000", "", true, "", 9000, "127.0.0.1"},
        {"the stage network", "8000", "0.0.0.0", true, "", 8000, "0.0.0.0"},
        {"port 0", "0", "", false, "oscport \"0\" is not a port number 1-65535", 0, ""},
        {"port too big", "65536", "", false, "oscport \"65536\" is not a port number 1-65535", 0,
         ""},
        {"port with letters", "90x", "", false, "oscport \"90x\" is not a port number 1-65535", 0,
         ""},
        {"a host name", "9000", "stage.local", false,
         "oscbind \"stage.local\" is not an IPv4 address", 0, ""},
    };
    for (const Case& c : cases) {
        std::string error;
        std::optional<OscServerOptions> o = oscOptions(c.port, c.bind, &error);
        EXPECT_EQ(o.has_value(), c.on) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        if (o) {
            EXPECT_EQ(o->port, c.wantPort) << c.name;
            EXPECT_EQ(o->bindAddress, c.wantBind) << c.name;
        }
    }
}
