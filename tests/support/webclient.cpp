#include "support/webclient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>
#include <QWebSocket>

namespace orvane::test {

void ensureCoreApp() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_remote";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

bool spinUntil(const std::function<bool()>& pred, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

QByteArray HttpAnswer::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QJsonObject HttpAnswer::json() const {
    return QJsonDocument::fromJson(body).object();
}

namespace {

// Status line, headers and body of a whole answer; false while it is not whole.
bool parseAnswer(const QByteArray& bytes, HttpAnswer& answer) {
    qsizetype end = bytes.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    QList<QByteArray> lines = bytes.left(end).split('\n');
    answer.headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            answer.headers.append(
                {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    qsizetype length = answer.header("Content-Length").toLongLong();
    if (bytes.size() < end + 4 + length)
        return false;
    answer.status = lines[0].split(' ').value(1).toInt();
    answer.body = bytes.mid(end + 4, length);
    return true;
}

} // namespace

// A plain socket rather than QNetworkAccessManager: no thread of Qt's own
// beside the test's, so the thread sanitizer sees every hand-over.
HttpAnswer httpCall(uint16_t port, const QByteArray& method, const QString& path,
                    const QByteArray& body, const QString& token, bool bearer) {
    ensureCoreApp();
    HttpAnswer answer;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        answer.error = socket.errorString();
        return answer;
    }
    QByteArray target = path.toUtf8();
    if (!bearer && !token.isEmpty())
        target += (target.contains('?') ? "&token=" : "?token=") + token.toUtf8();
    QByteArray request = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    if (bearer && !token.isEmpty())
        request += "Authorization: Bearer " + token.toUtf8() + "\r\n";
    if (!body.isEmpty())
        request += "Content-Type: application/json\r\n";
    request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    socket.write(request);
    QByteArray received;
    while (!parseAnswer(received, answer)) {
        if (!socket.waitForReadyRead(5000)) {
            answer.error = "no whole answer: " + socket.errorString();
            answer.status = 0;
            return answer;
        }
        received += socket.readAll();
    }
    return answer;
}

LiveClient::LiveClient() : m_socket(std::make_unique<QWebSocket>()) {
    ensureCoreApp();
    QObject::connect(m_socket.get(), &QWebSocket::textMessageReceived, [this](const QString& t) {
        m_messages.push_back(QJsonDocument::fromJson(t.toUtf8()).object());
    });
}

LiveClient::~LiveClient() {
    m_socket->abort();
}

bool LiveClient::open(uint16_t port, const QString& token, const QString& path) {
    QUrl url(QString("ws://127.0.0.1:%1%2").arg(port).arg(path));
    if (!token.isEmpty())
        url.setQuery("token=" + token);
    m_socket->open(url);
    spinUntil([&] {
        return m_socket->state() == QAbstractSocket::ConnectedState ||
               m_socket->state() == QAbstractSocket::UnconnectedState;
    });
    return connected();
}

bool LiveClient::connected() const {
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void LiveClient::sendText(const QString& text) {
    m_socket->sendTextMessage(text);
    m_socket->flush();
}

void LiveClient::sendBinary(const QByteArray& bytes) {
    m_socket->sendBinaryMessage(bytes);
    m_socket->flush();
}

bool LiveClient::waitForMessages(size_t count, int timeoutMs) {
    return spinUntil([&] { return m_messages.size() >= count; }, timeoutMs);
}

bool LiveClient::waitClosed(int timeoutMs) {
    return spinUntil([&] { return m_socket->state() == QAbstractSocket::UnconnectedState; },
                     timeoutMs);
}

} // namespace orvane::test
