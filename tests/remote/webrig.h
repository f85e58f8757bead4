#pragma once
// The web remote on loopback, as the tests drive it: a command ring the test
// pops and a state board it publishes to (the test's thread stands for the
// user-interface thread), Qt's HTTP and WebSocket clients as peers, and the
// event loop spun while waiting for them.

#include "playback/remotecommand.h"
#include "remote/webremoteserver.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWebSocket;

namespace orvane::test {

constexpr const char* kWebToken = "test-token-4f9c2a7d1e";

// The process's QCoreApplication (made on first use when there is none).
void ensureCoreApp();
// Spins the event loop until pred holds or timeoutMs passed.
bool spinUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

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

struct HttpAnswer {
    int status = 0; // 0: no answer (the error says why)
    QByteArray body;
    QString error;
    QByteArray header(const QByteArray& name) const;
    QJsonObject json() const;
    QList<QPair<QByteArray, QByteArray>> headers;
};

// One request through QNetworkAccessManager. token: sent as a Bearer header
// when bearer is true, else appended as ?token= when not empty.
HttpAnswer httpCall(uint16_t port, const QByteArray& method, const QString& path,
                    const QByteArray& body = {}, const QString& token = kWebToken,
                    bool bearer = true);

// A live (WebSocket) client.
class LiveClient {
public:
    LiveClient();
    ~LiveClient();
    // Opens ws://127.0.0.1:port/ws?token=...; true once connected.
    bool open(uint16_t port, const QString& token = kWebToken, const QString& path = "/ws");
    void sendText(const QString& text);
    void sendBinary(const QByteArray& bytes);
    // Waits until count messages came in all.
    bool waitForMessages(size_t count, int timeoutMs = 5000);
    bool waitClosed(int timeoutMs = 5000);
    const std::vector<QJsonObject>& messages() const { return m_messages; }
    bool connected() const;
    QWebSocket& socket() { return *m_socket; }

private:
    std::unique_ptr<QWebSocket> m_socket;
    std::vector<QJsonObject> m_messages;
};

} // namespace orvane::test
