#include "webrig.h"

namespace orvane::test {

namespace {

WebRemoteOptions rigOptions(WebRemoteLimits limits, const Clock* clock, uint16_t port) {
    ensureCoreApp();
    WebRemoteOptions options;
    options.port = port;
    options.token = kWebToken;
    options.limits = limits;
    options.clock = clock;
    return options;
}

} // namespace

WebRig::WebRig(WebRemoteLimits limits, const Clock* clock, uint16_t port)
    : server(rigOptions(limits, clock, port), ring, board) {
    server.start(&startError);
}

std::vector<RemoteCommand> WebRig::popAll() {
    std::vector<RemoteCommand> commands;
    while (auto command = ring.pop())
        commands.push_back(*command);
    return commands;
}

std::vector<std::string> WebRig::takeLog() {
    std::vector<std::string> texts;
    for (const LogLine& line : server.takeLog())
        texts.push_back(line.text);
    return texts;
}

} // namespace orvane::test
