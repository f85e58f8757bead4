#pragma once
// The web remote on loopback, as the tests drive it: a command ring the test
// pops and a state board it publishes to (the test's thread stands for the
// user-interface thread), with Qt's clients as its peers.

#include "playback/remotecommand.h"
#include "remote/webremoteserver.h"
#include "support/webclient.h"

#include <string>
#include <vector>

namespace orvane::test {

constexpr const char* kWebToken = "test-token-4f9c2a7d1e";

struct WebRig {
    explicit WebRig(WebRemoteLimits limits = {}, const Clock* clock = nullptr, uint16_t port = 0);

    uint16_t port() const { return server.port(); }
    std::vector<RemoteCommand> popAll();
    // The log lines written since the last call (their texts).
    std::vector<std::string> takeLog();

    RemoteCommandRing ring;
    RemoteStateBoard board;
    WebRemoteServer server;
    std::string startError;
};

// A request to the rig's server with its token (or the one given).
inline HttpAnswer httpCall(uint16_t port, const QByteArray& method, const QString& path,
                           const QByteArray& body = {}) {
    return httpCall(port, method, path, body, kWebToken, true);
}

} // namespace orvane::test
