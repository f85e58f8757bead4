// OSC datagrams as any peer on the network may send them: liblo's checks,
// bundles nested and cut anywhere, and every message taken on to a request.

#include "fuzzsupport.h"
#include "remote/oscprotocol.h"

#include <cstdint>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<OscMessage> messages;
    std::string reason;
    bool ok = decodeOscPacket(data, size, messages, &reason);
    fuzz::require(ok || !reason.empty(), "a refused packet says why");
    fuzz::require(ok || messages.empty(), "nothing of a refused packet is taken");
    for (const OscMessage& m : messages) {
        fuzz::require(!m.address.empty() && m.address[0] == '/', "addresses begin with /");
        fuzz::require(m.args.size() == m.types.size(), "one value per type");
        OscRequest r = interpretOsc(m);
        if (r.kind == OscRequest::Kind::Command && r.command.verb == RemoteVerb::Step)
            fuzz::require(r.command.index >= 0 && r.command.index <= 499, "steps in range");
        if (r.kind == OscRequest::Kind::Command)
            fuzz::require(r.command.value >= 0 && r.command.value <= 1, "values in range");
    }
    return 0;
}
