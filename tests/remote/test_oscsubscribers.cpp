// Who gets the state over OSC, when, and how much of it: subscriptions that
// lapse, at most 16 of them, at most 20 messages a second each; and the log
// that keeps a flood to a line per kind.

#include "remote/kindlog.h"
#include "remote/oscsubscribers.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

using namespace orvane;

namespace {

OscPeer peer(int n) {
    return {uint32_t(0x0100007F), uint16_t(n)};
}

constexpr std::array<bool, kOscStateFields> kOnlyFade = {false, false, false, false, true};

struct Sent {
    OscPeer peer;
    OscStateField field;
    Nanoseconds at;
};

struct OscSubscribersFixture : ::testing::Test {
    OscSubscribers subs;
    std::vector<Sent> sent;
    void send(Nanoseconds now) {
        subs.sendDue(now, [&](const OscPeer& p, OscStateField f) { sent.push_back({p, f, now}); });
    }
};

} // namespace

TEST_F(OscSubscribersFixture, ANewSubscriberGetsTheWholeStateAtOnceMostImportantFirst) {
    EXPECT_EQ(subs.subscribe(peer(1), 0s), OscSubscribers::Join::New);
    send(0s);
    std::vector<OscStateField> fields;
    for (const Sent& s : sent)
        fields.push_back(s.field);
    EXPECT_EQ(fields, (std::vector<OscStateField>{OscStateField::Step, OscStateField::Next,
                                                  OscStateField::Output, OscStateField::Master,
                                                  OscStateField::Fade}));
    sent.clear();
    send(1s);
    EXPECT_TRUE(sent.empty()) << "nothing changed";
    // A renewal is owed the whole state again.
    EXPECT_EQ(subs.subscribe(peer(1), 2s), OscSubscribers::Join::Renewed);
    send(2s);
    EXPECT_EQ(sent.size(), 5u);
}

TEST_F(OscSubscribersFixture, NoSubscriberGetsMoreThan20MessagesInAnySecond) {
    subs.subscribe(peer(1), 0s);
    // The fade changes on every 20 ms tick for 5 s.
    for (Nanoseconds t = 0s; t < 5s; t += 20ms) {
        subs.changed(kOnlyFade);
        send(t);
    }
    std::deque<Nanoseconds> window;
    size_t most = 0;
    for (const Sent& s : sent) {
        window.push_back(s.at);
        while (s.at - window.front() >= 1s)
            window.pop_front();
        most = std::max(most, window.size());
    }
    EXPECT_LE(most, 20u);
    // And it keeps up: about 15 a second once the first burst is through.
    EXPECT_GE(sent.size(), 5u + 4 * 15);
}

TEST_F(OscSubscribersFixture, AHeldBackChangeGoesOutWithItsLatestValueWhenDue) {
    subs.subscribe(peer(1), 0s);
    send(0s);
    sent.clear();
    subs.changed(kOnlyFade); // the burst is spent: held back
    send(1ms);
    EXPECT_TRUE(sent.empty());
    std::optional<Nanoseconds> due = subs.nextDue();
    ASSERT_TRUE(due);
    EXPECT_GT(*due, 1ms);
    subs.changed(kOnlyFade);
    send(*due);
    ASSERT_EQ(sent.size(), 1u) << "two changes, one message";
    EXPECT_EQ(sent[0].field, OscStateField::Fade);
}

TEST_F(OscSubscribersFixture, SubscriptionsLapseTenSecondsAfterTheLastRenewal) {
    subs.subscribe(peer(1), 0s);
    subs.subscribe(peer(2), 0s);
    subs.subscribe(peer(1), 6s);
    std::vector<OscPeer> lapsed;
    auto expire = [&](Nanoseconds t) {
        subs.expire(t, [&](const OscPeer& p) { lapsed.push_back(p); });
    };
    expire(10s - 1ns);
    EXPECT_EQ(subs.size(), 2u);
    expire(10s);
    EXPECT_EQ(lapsed, (std::vector<OscPeer>{peer(2)}));
    expire(16s);
    EXPECT_EQ(subs.size(), 0u);
    EXPECT_FALSE(subs.nextDue()) << "nothing subscribed, nothing to wake for";
}

TEST_F(OscSubscribersFixture, AtMost16Subscribers) {
    for (int n = 1; n <= 16; ++n)
        EXPECT_EQ(subs.subscribe(peer(n), 0s), OscSubscribers::Join::New);
    EXPECT_EQ(subs.subscribe(peer(17), 0s), OscSubscribers::Join::Full);
    EXPECT_EQ(subs.subscribe(peer(16), 1s), OscSubscribers::Join::Renewed);
    subs.expire(10s);
    EXPECT_EQ(subs.subscribe(peer(17), 10s), OscSubscribers::Join::New);
}

TEST(KindLog, AFloodGivesOneLinePerKindAndThenACount) {
    KindLog log("OSC: ", 5s);
    std::vector<LogLine> out;
    for (int i = 0; i < 1000; ++i)
        log.note(1, "malformed " + std::to_string(i), 0x80, Nanoseconds(i * 1'000'000), out);
    log.note(2, "unknown /x", 0x80, 500ms, out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].text, "OSC: malformed 0");
    EXPECT_EQ(out[1].text, "OSC: unknown /x");
    EXPECT_EQ(log.nextDue(), std::optional<Nanoseconds>(5s));
    log.flush(5s - 1ns, out);
    EXPECT_EQ(out.size(), 2u);
    log.flush(5s, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].text, "OSC: 999 more like this, the last: malformed 999");
    EXPECT_FALSE(log.nextDue());
    // Quiet for an interval: the next one is logged at once again.
    log.note(1, "malformed again", 0x80, 10s, out);
    EXPECT_EQ(out.back().text, "OSC: malformed again");
}
