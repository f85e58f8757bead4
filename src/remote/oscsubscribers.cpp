#include "remote/oscsubscribers.h"

#include "show/textutil.h"

#include <algorithm>
#include <arpa/inet.h>

namespace orvane {

namespace {

constexpr uint8_t kAllFields = (1u << kOscStateFields) - 1;
// How far ahead of its pace a subscriber may run: the burst.
constexpr Nanoseconds kTolerance = (OscSubscribers::kBurst - 1) * OscSubscribers::kSpacing;

} // namespace

std::string peerText(const OscPeer& peer) {
    char text[INET_ADDRSTRLEN] = {};
    in_addr a{};
    a.s_addr = peer.address;
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return format("%s:%u", text, unsigned(ntohs(peer.port)));
}

OscSubscribers::Join OscSubscribers::subscribe(const OscPeer& peer, Nanoseconds now) {
    for (Subscriber& s : m_subscribers) {
        if (s.peer == peer) {
            s.lapses = now + kLapse;
            s.owed = kAllFields;
            return Join::Renewed;
        }
    }
    if (m_subscribers.size() >= kMax)
        return Join::Full;
    m_subscribers.push_back({peer, now + kLapse, now, kAllFields});
    return Join::New;
}

void OscSubscribers::changed(const std::array<bool, kOscStateFields>& fields) {
    uint8_t mask = 0;
    for (int f = 0; f < kOscStateFields; ++f)
        if (fields[size_t(f)])
            mask |= uint8_t(1u << f);
    for (Subscriber& s : m_subscribers)
        s.owed |= mask;
}

void OscSubscribers::expire(Nanoseconds now, const std::function<void(const OscPeer&)>& lapsed) {
    std::erase_if(m_subscribers, [&](const Subscriber& s) {
        if (now < s.lapses)
            return false;
        if (lapsed)
            lapsed(s.peer);
        return true;
    });
}

bool OscSubscribers::mayPass(const Subscriber& s, Nanoseconds now) const {
    return s.pace - now <= kTolerance;
}

void OscSubscribers::sendDue(Nanoseconds now, const Send& send) {
    for (Subscriber& s : m_subscribers) {
        for (int f = 0; f < kOscStateFields && s.owed; ++f) {
            uint8_t bit = uint8_t(1u << f);
            if (!(s.owed & bit))
                continue;
            if (!mayPass(s, now))
                break;
            s.owed &= uint8_t(~bit);
            s.pace = std::max(s.pace, now) + kSpacing;
            send(s.peer, OscStateField(f));
        }
    }
}

std::optional<Nanoseconds> OscSubscribers::nextDue(bool messages) const {
    std::optional<Nanoseconds> next;
    auto earliest = [&](Nanoseconds t) { next = next ? std::min(*next, t) : t; };
    for (const Subscriber& s : m_subscribers) {
        earliest(s.lapses);
        if (messages && s.owed)
            earliest(s.pace - kTolerance);
    }
    return next;
}

} // namespace orvane
