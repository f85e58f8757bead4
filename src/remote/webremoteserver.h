#pragma once
// The web remote: a page for a phone and an HTTP API that drive the show, on
// a thread of its own with its own event loop (never the user-interface
// thread), so that no peer, however hostile, can stall the console or the
// line. It acts only through the command ring and reads only the state board.
//
// Every request carries the token (Authorization: Bearer <token>, or
// ?token=<token>); without the right one it gets 401 and nothing acts. The
// live connection (/ws, the same token) gets the state at once and every
// change after it (at most 20 messages a second), and takes the page's
// commands.
//
// Against hostile peers: request headers and bodies over their limits are
// refused and the connection closed; connections are capped (when full, one
// that never carried the token makes room first, so that a flood from peers
// without it cannot push the operator out) and time out; live connections are capped
// and pinged, and closed when silent; commands beyond a burst and a rate are
// refused at the door; what goes wrong is logged one line per kind of trouble.
//
// Thread: every member is for the user-interface thread, except counts().

#include "core/clock.h"
#include "playback/remotecommand.h"
#include "remote/devicelog.h"
#include "remote/httpframer.h"
#include "remote/remotesurface.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class WebThread;
class WebTroubleLog;
struct StateNotice;
struct WebCounters;

struct WebRemoteLimits {
    HttpLimits http;
    int connections = 64;               // HTTP connections at one time
    int liveClients = 32;               // live (WebSocket) connections at one time
    Milliseconds requestTimeout = 5s;   // a request's headers and body must arrive within
    Milliseconds idleTimeout = 30s;     // a connection quiet between requests is closed after
    Milliseconds livePing = 20s;        // a live connection is pinged this often
    Milliseconds liveSilence = 65s;     // and closed when it has said nothing (pongs count) for
    Milliseconds statePeriod = 50ms;    // the least time between two state messages
    size_t liveMessageBytes = 4 * 1024; // a larger live message closes the connection
    int commandBurst = 40;              // commands at once, then
    int commandsPerSecond = 25;
};

struct WebRemoteOptions {
    std::string bindAddress = "127.0.0.1";
    uint16_t port = 0; // 0: any free port (tests, benchmarks)
    std::string token; // must not be empty
    WebRemoteLimits limits;
    const Clock* clock = nullptr; // systemClock() when null
};

struct WebRemoteCounts {
    int connections = 0; // HTTP connections open now
    int liveClients = 0;
    uint64_t requests = 0; // requests answered by the API, refused ones included
    uint64_t troubles = 0;
};

class WebRemoteServer final : public RemoteSurface {
public:
    // The board's listener is registered here: make the server before the
    // state is first published. ring and board must outlive the server.
    WebRemoteServer(WebRemoteOptions options, RemoteCommandRing& ring, RemoteStateBoard& board);
    ~WebRemoteServer() override;
    WebRemoteServer(const WebRemoteServer&) = delete;
    WebRemoteServer& operator=(const WebRemoteServer&) = delete;

    // Starts the thread and listens: true, or false with the system's reason
    // in *error.
    bool start(std::string* error = nullptr) override;
    // Closes every connection and ends the thread. Called by the destructor.
    void stop() override;
    bool running() const override { return m_thread != nullptr; }
    // "127.0.0.1:8080" once it runs.
    std::string where() const override;
    // The port listened on (the one chosen when the options said 0).
    uint16_t port() const { return m_port; }
    // http://<address>:<port>/?token=<token>
    std::string url() const;

    // The lines for the window's log written since the last call.
    std::vector<LogLine> takeLog() override;
    // Safe from any thread.
    WebRemoteCounts counts() const;

private:
    WebRemoteOptions m_options;
    RemoteCommandRing& m_ring;
    RemoteStateBoard& m_board;
    std::shared_ptr<StateNotice> m_notice;
    std::unique_ptr<WebTroubleLog> m_log;
    std::unique_ptr<WebCounters> m_counters;
    std::unique_ptr<WebThread> m_thread;
    uint16_t m_port = 0;
};

} // namespace orvane
