#pragma once
// Qt's HTTP and WebSocket clients as peers of the web remote, for the tests
// and benchmarks: one request at a time on a QTcpSocket, a live
// (WebSocket) client that keeps what it receives, and the event loop spun
// while waiting. The caller's thread needs a QCoreApplication (ensureCoreApp
// makes one when the process has none).

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWebSocket;

namespace orvane::test {

// The process's QCoreApplication (made on first use when there is none).
void ensureCoreApp();
// Spins the event loop until pred holds or timeoutMs passed.
bool spinUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

struct HttpAnswer {
    int status = 0; // 0: no answer (the error says why)
    QByteArray body;
    QString error;
    QByteArray header(const QByteArray& name) const;
    QJsonObject json() const;
    QList<QPair<QByteArray, QByteArray>> headers;
};

// One request to 127.0.0.1:port. token: sent as a Bearer header when bearer
// is true, else appended as ?token= when not empty.
HttpAnswer httpCall(uint16_t port, const QByteArray& method, const QString& path,
                    const QByteArray& body, const QString& token, bool bearer = true);

// A live (WebSocket) client.
class LiveClient {
public:
    LiveClient();
    ~LiveClient();
    // Opens ws://127.0.0.1:port<path>?token=...; true once connected.
    bool open(uint16_t port, const QString& token, const QString& path = "/ws");
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
