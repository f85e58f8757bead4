#include "support/webclient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
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

HttpAnswer httpCall(uint16_t port, const QByteArray& method, const QString& path,
                    const QByteArray& body, const QString& token, bool bearer) {
    ensureCoreApp();
    QNetworkAccessManager manager;
    QUrl url(QString("http://127.0.0.1:%1%2").arg(port).arg(path));
    if (!bearer && !token.isEmpty())
        url.setQuery(url.query().isEmpty() ? "token=" + token : url.query() + "&token=" + token);
    QNetworkRequest request(url);
    if (bearer && !token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    if (!body.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(request, method, body));
    HttpAnswer answer;
    if (!spinUntil([&] { return reply->isFinished(); })) {
        answer.error = "no answer in time";
        return answer;
    }
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    answer.headers = reply->rawHeaderPairs();
    if (answer.status == 0)
        answer.error = reply->errorString();
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
