#pragma once
// Who receives the show's state over OSC, and when. At most 16 subscribers,
// each known by its IPv4 address and port; a subscription lapses 10 s after
// the subscriber's last /orvane/subscribe. A new or renewed subscription is
// owed every state message at once; after that, each message whose field
// changed, only its latest value. No subscriber gets more than 20 messages in
// any second: five may go at once, then one every 1/15 s (a fade that
// changes on every tick reaches a subscriber at 15 messages a second, the
// step and the next step before it).
//
// Time is a parameter. Not thread-safe: the OSC server's thread owns it.

#include "core/clock.h"
#include "remote/oscprotocol.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace orvane {

struct OscPeer {
    uint32_t address = 0; // IPv4, network byte order
    uint16_t port = 0;    // network byte order

    bool operator==(const OscPeer&) const = default;
};

// "127.0.0.1:9000"
std::string peerText(const OscPeer& peer);

class OscSubscribers {
public:
    static constexpr size_t kMax = 16;
    static constexpr Nanoseconds kLapse = 10s;
    static constexpr Nanoseconds kSpacing = Nanoseconds(1'000'000'000 / 15 + 1);
    static constexpr int kBurst = 5;

    enum class Join { New, Renewed, Full };
    Join subscribe(const OscPeer& peer, Nanoseconds now);

    // Every subscriber is owed these fields again.
    void changed(const std::array<bool, kOscStateFields>& fields);
    // Ends the subscriptions whose time is up; calls lapsed for each.
    void expire(Nanoseconds now, const std::function<void(const OscPeer&)>& lapsed = {});
    // Sends what each subscriber is owed and may have now, most important
    // field first.
    using Send = std::function<void(const OscPeer&, OscStateField)>;
    void sendDue(Nanoseconds now, const Send& send);
    // The next time something is due (a message held back, unless messages
    // are not to go yet, and a lapse); none while nothing is subscribed.
    std::optional<Nanoseconds> nextDue(bool messages = true) const;

    size_t size() const { return m_subscribers.size(); }

private:
    struct Subscriber {
        OscPeer peer;
        Nanoseconds lapses{};
        Nanoseconds pace{}; // the theoretical time of the next message
        uint8_t owed = 0;   // bit per OscStateField
    };
    bool mayPass(const Subscriber& s, Nanoseconds now) const;

    std::vector<Subscriber> m_subscribers;
};

} // namespace orvane
