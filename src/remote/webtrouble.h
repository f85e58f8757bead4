#pragma once
// What goes wrong with the web remote's peers, for the window's log: one line
// per kind of trouble. The first of a kind is said at once, with the peer and
// the reason; more of the same kind within the next ten seconds are counted
// and said in one line (with the last of them) when those seconds are over. A
// flood of bad requests thus writes a line per kind every ten seconds at most.
//
// Any thread: the server's thread adds, the user-interface thread takes.

#include "core/clock.h"
#include "remote/devicelog.h"
#include "remote/kindlog.h"
#include "show/language.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class WebTrouble : uint8_t {
    WrongToken,  // a request without the right token
    UnknownPath, // a path or method the API does not have
    BadCommand,  // a step or value out of range, a body that is not JSON
    HeadersTooLarge,
    BodyTooLarge,
    BadRequest,         // not HTTP we take
    SlowRequest,        // headers not complete in time
    TooManyConnections, // a connection closed to make room
    TooManyClients,     // a WebSocket refused: all places taken
    BadMessage,         // a WebSocket message that is no command
    TooManyCommands,    // over the command rate, or the console's queue full
    Count
};

// The kind as the log names it ("requests with a wrong token"), in the
// operator's language.
std::string webTroubleText(WebTrouble kind);

class WebTroubleLog {
public:
    static constexpr Milliseconds kWindow = 10s;

    // The server's thread. peer: the peer's address; detail: the reason.
    void add(WebTrouble kind, std::string_view peer, std::string_view detail, Nanoseconds now);
    // The server's thread: says the counts of the windows that are over.
    void flush(Nanoseconds now);
    // True while counts wait for their window's end (the server keeps a timer
    // running for flush() only then).
    bool pending() const;

    // The user-interface thread: the lines written since the last call.
    std::vector<LogLine> take();
    // Any thread: troubles seen since the start, of every kind.
    uint64_t total() const;

private:
    void appended(size_t before);

    mutable std::mutex m_mutex;
    KindLog m_kinds{translate("WebRemote", "web remote: "), kWindow};
    std::vector<LogLine> m_lines;
    uint64_t m_total = 0;
};

} // namespace orvane
