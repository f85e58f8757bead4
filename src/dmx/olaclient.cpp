#include "dmx/olaclient.h"

#include "show/textutil.h"

#include <cerrno>

#if ORVANE_HAVE_OLA
#include <ola/DmxBuffer.h>
#include <ola/client/StreamingClient.h>
#endif

namespace orvane {

std::string olaPeerText(uint16_t port) {
    return format("olad at 127.0.0.1:%u", unsigned(port));
}

#if ORVANE_HAVE_OLA

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

bool olaBuiltIn() {
    return true;
}

std::unique_ptr<OlaClient> makeStreamingOlaClient(uint16_t port) {
    return std::make_unique<StreamingOlaClient>(port);
}

#else

bool olaBuiltIn() {
    return false;
}

std::unique_ptr<OlaClient> makeStreamingOlaClient(uint16_t) {
    return nullptr;
}

#endif

} // namespace orvane
