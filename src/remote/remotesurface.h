#pragma once
// A show-control server that tools of the trade talk to: OSC, the web remote.
// Each one runs on a thread of its own, turns what its peers ask into
// RemoteCommands on the shared ring (checked where they arrive: what reaches
// the ring is in range) and shows its peers the latest RemoteState of the
// shared board. It never calls into the console and never touches a widget;
// what the operator should read goes out through takeLog().
//
// Thread: every member is for the user-interface thread; the server's own
// thread lives between start() and stop().

#include "remote/devicelog.h"

#include <string>
#include <vector>

namespace orvane {

class RemoteSurface {
public:
    virtual ~RemoteSurface() = default;

    // Opens the listening socket and starts the thread: false, with the
    // system's reason in *error, when it cannot listen.
    virtual bool start(std::string* error) = 0;
    // Ends the thread and closes every socket; nothing arrives after it.
    virtual void stop() = 0;
    virtual bool running() const = 0;
    // Where peers reach it, "127.0.0.1:9000", once it runs.
    virtual std::string where() const = 0;
    // The log lines the server wrote since the last call, already held to a
    // rate (a flood of bad packets gives a line per kind now and then, with
    // a count). The server pokes the user-interface thread when it adds one.
    virtual std::vector<LogLine> takeLog() = 0;
};

} // namespace orvane
