#include "remote/webtrouble.h"

#include "dmx/uiwake.h"
#include "remote/devicetexts.h"
#include "show/language.h"

#include <utility>

namespace orvane {

namespace {

constexpr size_t kMaxWaiting = 200;

} // namespace

std::string webTroubleText(WebTrouble kind) {
    switch (kind) {
    case WebTrouble::WrongToken:
        return translate("WebRemote", "requests without the right token");
    case WebTrouble::UnknownPath:
        return translate("WebRemote", "requests for a path the web remote does not have");
    case WebTrouble::BadCommand:
        return translate("WebRemote", "commands refused");
    case WebTrouble::HeadersTooLarge:
        return translate("WebRemote", "requests with oversized headers");
    case WebTrouble::BodyTooLarge:
        return translate("WebRemote", "requests with an oversized body");
    case WebTrouble::BadRequest:
        return translate("WebRemote", "requests that are not HTTP the web remote takes");
    case WebTrouble::SlowRequest:
        return translate("WebRemote", "connections too slow to send their request");
    case WebTrouble::TooManyConnections:
        return translate("WebRemote", "connections closed to make room for new ones");
    case WebTrouble::TooManyClients:
        return translate("WebRemote", "live connections refused, all places taken");
    case WebTrouble::BadMessage:
        return translate("WebRemote", "live messages that are no command");
    case WebTrouble::TooManyCommands:
        return translate("WebRemote", "commands dropped, too many at once");
    case WebTrouble::Count:
        break;
    }
    return translate("WebRemote", "trouble");
}

void WebTroubleLog::add(WebTrouble kind, std::string_view peer, std::string_view detail,
                        Nanoseconds now) {
    std::lock_guard lock(m_mutex);
    ++m_total;
    size_t before = m_lines.size();
    m_kinds.note(int(kind),
                 fillIn(translate("WebRemote", "%1: %2, %3"), {webTroubleText(kind), peer, detail}),
                 kLogDarkRed, now, m_lines);
    appended(before);
}

void WebTroubleLog::flush(Nanoseconds now) {
    std::lock_guard lock(m_mutex);
    size_t before = m_lines.size();
    m_kinds.flush(now, m_lines);
    appended(before);
}

bool WebTroubleLog::pending() const {
    std::lock_guard lock(m_mutex);
    return m_kinds.nextDue().has_value();
}

void WebTroubleLog::appended(size_t before) {
    if (m_lines.size() == before)
        return;
    // Lines beyond this wait for nobody: the user-interface thread takes them
    // every few milliseconds, and each kind gives one line per window.
    if (m_lines.size() > kMaxWaiting)
        m_lines.resize(kMaxWaiting);
    uiwake::poke();
}

std::vector<LogLine> WebTroubleLog::take() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_lines, {});
}

uint64_t WebTroubleLog::total() const {
    std::lock_guard lock(m_mutex);
    return m_total;
}

} // namespace orvane
