#include "remote/webtrouble.h"

#include "dmx/uiwake.h"
#include "remote/devicetexts.h"

#include <utility>

namespace orvane {

namespace {

// Lines waiting for the user-interface thread beyond this are dropped: that
// thread takes them every few milliseconds, and there are only so many kinds.
constexpr size_t kMaxWaiting = 200;

} // namespace

std::string_view webTroubleText(WebTrouble kind) {
    switch (kind) {
    case WebTrouble::WrongToken:
        return "requests without the right token";
    case WebTrouble::UnknownPath:
        return "requests for a path the web remote does not have";
    case WebTrouble::BadCommand:
        return "commands refused";
    case WebTrouble::HeadersTooLarge:
        return "requests with oversized headers";
    case WebTrouble::BodyTooLarge:
        return "requests with an oversized body";
    case WebTrouble::BadRequest:
        return "requests that are not HTTP the web remote takes";
    case WebTrouble::SlowRequest:
        return "connections too slow to send their request";
    case WebTrouble::TooManyConnections:
        return "connections closed to make room for new ones";
    case WebTrouble::TooManyClients:
        return "live connections refused, all places taken";
    case WebTrouble::BadMessage:
        return "live messages that are no command";
    case WebTrouble::TooManyCommands:
        return "commands dropped, too many at once";
    case WebTrouble::Count:
        break;
    }
    return "trouble";
}

void WebTroubleLog::add(WebTrouble kind, std::string_view peer, std::string_view detail,
                        Nanoseconds now) {
    std::lock_guard lock(m_mutex);
    Kind& k = m_kinds[size_t(kind)];
    ++k.total;
    if (k.open && now < k.windowEnd) {
        ++k.held;
        k.lastPeer = peer;
        return;
    }
    k.open = true;
    k.windowEnd = now + kWindow;
    append("web remote: " + std::string(webTroubleText(kind)) + ": " + std::string(peer) + ", " +
               std::string(detail),
           kLogDarkRed);
}

void WebTroubleLog::flush(Nanoseconds now) {
    std::lock_guard lock(m_mutex);
    for (size_t i = 0; i < m_kinds.size(); ++i) {
        Kind& k = m_kinds[i];
        if (!k.open || now < k.windowEnd)
            continue;
        k.open = false;
        if (k.held == 0)
            continue;
        append("web remote: " + std::to_string(k.held) + " more " +
                   std::string(webTroubleText(WebTrouble(i))) + " in " +
                   std::to_string(std::chrono::duration_cast<Seconds>(kWindow).count()) +
                   " s, the last from " + k.lastPeer,
               kLogDarkRed);
        k.held = 0;
    }
}

bool WebTroubleLog::pending() const {
    std::lock_guard lock(m_mutex);
    for (const Kind& k : m_kinds)
        if (k.open)
            return true;
    return false;
}

void WebTroubleLog::event(std::string text) {
    std::lock_guard lock(m_mutex);
    append(std::move(text), kLogTeal);
}

void WebTroubleLog::error(std::string text) {
    std::lock_guard lock(m_mutex);
    append(std::move(text), kLogDarkRed);
}

void WebTroubleLog::append(std::string text, uint32_t colour) {
    if (m_lines.size() < kMaxWaiting)
        m_lines.push_back({std::move(text), colour});
    uiwake::poke();
}

std::vector<LogLine> WebTroubleLog::take() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_lines, {});
}

uint64_t WebTroubleLog::total() const {
    std::lock_guard lock(m_mutex);
    uint64_t sum = 0;
    for (const Kind& k : m_kinds)
        sum += k.total;
    return sum;
}

} // namespace orvane
