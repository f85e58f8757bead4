#pragma once
// What the web remote answers, without sockets: the HTTP API's routes, the
// live (WebSocket) messages in and out, and the state as JSON. The server
// hands it requests whose token it has checked.
//
// Routes:
//   GET  /                  the page
//   GET  /api/state         the state (stateJson)
//   POST /api/go, /api/back, /api/stop, /api/pause
//   POST /api/step/<n>      n: 0-499
//   POST /api/master, /api/volume/1, /api/volume/2   body {"value": 0-1}
// A command that goes through answers 200 {"ok":true}; a bad step or value
// 400 {"error": reason}; an unknown path 404, a known path with another
// method 405; a command refused because too many came at once 429.
//
// Live messages from the page: {"command": "go" | "back" | "stop" | "pause"},
// {"command": "step", "value": n}, {"command": "master" | "volume1" |
// "volume2", "value": 0-1}, and {"command": "state"}, which acts on nothing
// and is answered with the state (the page learns so that its connection is
// still alive). Answers to bad ones: {"type": "error", "reason": ...}.
// The state goes out as {"type": "state", ...the fields of stateJson}.
//
// Thread: the server's thread; the ring and board are safe from any thread.

#include "core/clock.h"
#include "playback/remotecommand.h"

#include <QByteArray>

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace orvane {

// {"step", "caption", "next", "nextCaption", "fading", "fadeProgress",
//  "master", "volume1", "volume2", "output"}; with type "state" first for the
// live connection.
QByteArray stateJson(const RemoteState& state, bool withType = false);
QByteArray errorJson(std::string_view reason, bool withType = false);

// A command named as the live messages name it ("go", "step", "volume1"),
// with its value when it takes one: the command, or why it is refused.
std::variant<RemoteCommand, std::string> commandNamed(std::string_view name,
                                                      std::optional<double> value);

// A live message: a command, a request for the state, or why it is refused.
struct StateRequest {};
std::variant<RemoteCommand, StateRequest, std::string> parseLiveMessage(const QByteArray& text);

// Commands per second the console takes from the web remote: a burst, then a
// steady rate. Enough for fingers on a page and a button box; a flood beyond
// it is refused at the door instead of queueing behind the console.
class CommandRate {
public:
    CommandRate(int burst, int perSecond) : m_burst(burst), m_perSecond(perSecond) {}
    bool take(Nanoseconds now);

private:
    int m_burst;
    int m_perSecond;
    double m_tokens = -1;
    Nanoseconds m_last{};
};

struct WebReply {
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body;
    QByteArray allow;   // with 405: the methods the path takes
    std::string reason; // with an error: why, as the body says it
};

class WebApi {
public:
    WebApi(RemoteCommandRing& ring, const RemoteStateBoard& board, CommandRate& rate,
           QByteArray page)
        : m_ring(ring), m_board(board), m_rate(rate), m_page(std::move(page)) {}

    // method as the request line writes it ("GET"), path without the query.
    WebReply answer(std::string_view method, std::string_view path, const QByteArray& body,
                    Nanoseconds now);
    // A command from either door: 200, or 429 with the reason.
    WebReply push(const RemoteCommand& command, Nanoseconds now);

private:
    // The command a path names ("go", "volume1", "step/12"), nothing for a
    // path that is no command.
    static std::optional<std::string> commandName(std::string_view path);
    static std::variant<RemoteCommand, std::string> command(const std::string& name,
                                                            const QByteArray& body);

    RemoteCommandRing& m_ring;
    const RemoteStateBoard& m_board;
    CommandRate& m_rate;
    QByteArray m_page;
};

} // namespace orvane
