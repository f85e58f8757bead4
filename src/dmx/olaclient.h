#pragma once
// The connection to a running olad as the OLA sender thread uses it. The real
// one is OLA's streaming client on olad's RPC port on the loopback interface;
// it never starts olad itself. Every call may block for as long as the socket
// does and may allocate: only the OLA sender thread calls it, never the output
// thread.

#include "dmx/universe.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

// olad's default RPC port.
constexpr uint16_t kOlaDefaultPort = 9010;

class OlaClient {
public:
    virtual ~OlaClient() = default;
    // True once connected; false when olad does not answer.
    virtual bool connect() = 0;
    // One frame of 512 slots to an OLA universe. False when the connection is
    // lost; the caller then disconnects and connects again.
    virtual bool send(unsigned universe, const Universe& channels) = 0;
    virtual void disconnect() = 0;
    // Why the last connect failed (an errno value), 0 when it did not or the
    // client cannot tell.
    virtual int lastError() const { return 0; }
};

// Whether this program was built with OLA's client library. The client lives
// in a module (orvane-ola.so) loaded the first time a client is made.
bool olaBuiltIn();
// Why the module could not be loaded (its path and the loader's reason), or
// empty: it was loaded, has not been tried yet, or OLA is not built in.
std::string olaLoadError();
// The streaming client on 127.0.0.1:port, or nullptr without OLA's library
// or its module. Safe from any thread.
std::unique_ptr<OlaClient> makeStreamingOlaClient(uint16_t port = kOlaDefaultPort);
// "olad at 127.0.0.1:9010", for the operator's messages.
std::string olaPeerText(uint16_t port = kOlaDefaultPort);

} // namespace orvane
