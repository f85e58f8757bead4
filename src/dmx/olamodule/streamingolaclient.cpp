// The OLA client as a module of its own (orvane-ola.so), loaded the first
// time an output asks for OLA: OLA's libraries and their protocol buffers
// cost every start several megabytes of memory, and most shows go out on the
// serial line alone.

#include "dmx/olaclient.h"

#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>

#include <cerrno>

namespace orvane {

namespace {

class StreamingOlaClient final : public OlaClient {
public:
    explicit StreamingOlaClient(uint16_t port) : m_client(options(port)) {}

    bool connect() override {
        errno = 0;
        m_connected = m_client.Setup();
        // OLA reports no reason of its own; its failed connect leaves errno.
        m_error = m_connected ? 0 : errno;
        return m_connected;
    }
    bool send(unsigned universe, const Universe& channels) override {
        if (!m_connected)
            return false;
        m_buffer.Set(channels.data(), unsigned(channels.size()));
        // Sending notices a closed peer and then closes the client itself.
        m_connected = m_client.SendDmx(universe, m_buffer);
        return m_connected;
    }
    void disconnect() override {
        m_client.Stop();
        m_connected = false;
    }
    int lastError() const override { return m_error; }

private:
    static ola::client::StreamingClient::Options options(uint16_t port) {
        ola::client::StreamingClient::Options o;
        o.auto_start = false; // never start a daemon the operator did not start
        o.server_port = port;
        return o;
    }

    ola::client::StreamingClient m_client;
    ola::DmxBuffer m_buffer;
    bool m_connected = false;
    int m_error = 0;
};

} // namespace

} // namespace orvane

// The module's one entry point; the caller owns the client.
extern "C" __attribute__((visibility("default"))) orvane::OlaClient*
orvane_make_ola_client(uint16_t port) {
    return new orvane::StreamingOlaClient(port);
}
