#pragma once
// OSC show control over UDP: the addresses of remote/oscprotocol.h, from any
// OSC tool (a phone or tablet surface, a button box, a sound program's cue
// stack). Commands go to the shared ring; /orvane/subscribe makes the sender a
// subscriber of the state (remote/oscsubscribers.h), which it gets from the
// board's first publication on. Refused requests answer the sender with
// /orvane/error s.
//
// One thread of its own waits on the socket and a wake descriptor: it wakes
// for datagrams, for a new state on the board and when a subscriber's message
// or lapse is due; with no subscriber and no traffic it sleeps without a
// timeout. It runs a little below the program's priority (named
// "orvane-osc"), so a flood takes its CPU time after the console's.
//
// Against hostile peers: a packet is read whole into a fixed buffer; anything
// malformed, an unknown address, wrong types or values are dropped and logged
// one line per kind per 5 s with a count; error answers are held to 20 a
// second in all; a command that finds the ring full is dropped and counted;
// at most 16 subscribers, each held to 20 messages a second.
//
// Thread: the members are for the user-interface thread (counts() for any);
// the board's listener it installs only pokes the server's thread.

#include "core/clock.h"
#include "playback/remotecommand.h"
#include "remote/remotesurface.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvane {

struct OscServerOptions {
    uint16_t port = 0;                     // 0: any free port (tests, benchmarks)
    std::string bindAddress = "127.0.0.1"; // IPv4; "0.0.0.0" for every address
    Nanoseconds logInterval = 5s;          // one line per kind of trouble per interval
    int errorsPerSecond = 20;              // /orvane/error answers, all senders together
    int niceness = 5;                      // the thread's, above the program's
};

// The settings "oscport" (1-65535; empty: OSC is off) and "oscbind" (an IPv4
// address; empty: 127.0.0.1) as options. Nothing, with the reason in *error,
// when a setting cannot be used; nothing and no reason when OSC is off.
std::optional<OscServerOptions> oscOptions(std::string_view port, std::string_view bind,
                                           std::string* error);

class OscServer final : public RemoteSurface {
public:
    // Installs its listener on the board: the board must not publish once
    // this server is gone.
    OscServer(OscServerOptions options, RemoteCommandRing& ring, RemoteStateBoard& board);
    ~OscServer() override;
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;

    bool start(std::string* error) override;
    void stop() override;
    bool running() const override { return m_thread.joinable(); }
    std::string where() const override { return m_where; }
    std::vector<LogLine> takeLog() override;

    uint16_t port() const { return m_port; }

    // What the server has met since it started (any thread).
    struct Counts {
        uint64_t datagrams = 0;
        uint64_t malformed = 0;
        uint64_t unknown = 0;
        uint64_t refused = 0; // wrong types or values
        uint64_t commands = 0;
        uint64_t ringFull = 0;
        uint64_t stateSent = 0;
        uint64_t subscribers = 0; // now
    };
    Counts counts() const;

    class Loop;

private:
    OscServerOptions m_options;
    RemoteCommandRing& m_ring;
    RemoteStateBoard& m_board;
    std::shared_ptr<Loop> m_loop;
    std::thread m_thread;
    uint16_t m_port = 0;
    std::string m_where;
};

} // namespace orvane
