#include "remote/webworker.h"

#include "remote/webtoken.h"
#include "show/language.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QWebSocket>
#include <QWebSocketServer>

#include <algorithm>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane {

namespace {

// How long a refused connection is drained before it is cut: closing with
// unread bytes would reset it and lose the refusal on its way to the peer.
constexpr Milliseconds kLinger = 2s;

// Shown on the peer's page and in the window's log.
constexpr const char* kWrongToken = QT_TRANSLATE_NOOP("WebRemote", "a wrong or missing token");

// State for a live connection whose peer does not read is skipped past this
// much unsent: the latest state goes once it reads again, and memory stays bounded.
constexpr qint64 kLiveBacklog = 16 * 1024;

const char* reasonPhrase(int status) {
    // untranslated-begin: HTTP's own reason phrases
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 408:
        return "Request Timeout";
    case 413:
        return "Payload Too Large";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 503:
        return "Service Unavailable";
    }
    return "Error";
    // untranslated-end
}

// A whole refusal, written by the door itself before the connection closes.
QByteArray rawRefusal(int status, const std::string& reason) {
    QByteArray body = errorJson(reason);
    // untranslated-begin: HTTP headers
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
           "\r\nContent-Type: application/json\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    // untranslated-end
}

// An IPv4 peer of a socket that listens on IPv6 too reads as plain IPv4.
template <typename Socket> QString peerOf(const Socket& socket) {
    bool v4 = false;
    quint32 address = socket.peerAddress().toIPv4Address(&v4);
    return v4 ? QHostAddress(address).toString() : socket.peerAddress().toString();
}

std::string methodText(QHttpServerRequest::Method method) {
    switch (method) {
    case QHttpServerRequest::Method::Get:
        return "GET";
    case QHttpServerRequest::Method::Post:
        return "POST";
    case QHttpServerRequest::Method::Put:
        return "PUT";
    case QHttpServerRequest::Method::Delete:
        return "DELETE";
    case QHttpServerRequest::Method::Head:
        return "HEAD";
    default:
        return "OTHER";
    }
}

WebTrouble troubleOf(int status) {
    switch (status) {
    case 401:
        return WebTrouble::WrongToken;
    case 404:
    case 405:
        return WebTrouble::UnknownPath;
    case 429:
    case 503:
        return WebTrouble::TooManyCommands;
    default:
        return WebTrouble::BadCommand;
    }
}

} // namespace

// The HTTP server proper: Qt's parser and responder, with every whole request
// handed to the worker.
class WebHttpServer : public QAbstractHttpServer {
public:
    WebHttpServer(WebWorker& worker, QObject* parent)
        : QAbstractHttpServer(parent), m_worker(worker) {}
    static QHttpServerResponder responder(const QHttpServerRequest& request, QTcpSocket* socket) {
        return makeResponder(request, socket);
    }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        m_worker.answer(request, socket);
        return true;
    }
    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override {}

private:
    WebWorker& m_worker;
};

// The listening socket: every connection goes through the worker's door
// before the HTTP server sees it.
class WebDoor : public QTcpServer {
public:
    WebDoor(WebWorker& worker, QObject* parent) : QTcpServer(parent), m_worker(worker) {}
    using QTcpServer::addPendingConnection;

protected:
    void incomingConnection(qintptr descriptor) override { m_worker.accept(descriptor); }

private:
    WebWorker& m_worker;
};

void StateNotice::poke() {
    if (liveClients.load() == 0 || m_queued.exchange(true))
        return;
    std::lock_guard lock(m_mutex);
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, &WebWorker::stateChanged, Qt::QueuedConnection);
    else
        m_queued.store(false);
}

void StateNotice::attach(WebWorker* worker) {
    std::lock_guard lock(m_mutex);
    m_worker = worker;
    m_queued.store(false);
}

WebWorker::WebWorker(const WebRemoteOptions& options, RemoteCommandRing& ring,
                     const RemoteStateBoard& board, WebTroubleLog& log, WebCounters& counters,
                     std::shared_ptr<StateNotice> notice, QByteArray page)
    : m_options(options), m_clock(options.clock ? *options.clock : systemClock()), m_board(board),
      m_log(log), m_counters(counters),
      m_rate(options.limits.commandBurst, options.limits.commandsPerSecond),
      m_api(ring, board, m_rate, std::move(page)), m_notice(std::move(notice)) {
    m_stateTimer.setSingleShot(true);
    connect(&m_sweep, &QTimer::timeout, this, &WebWorker::sweep);
    connect(&m_stateTimer, &QTimer::timeout, this, &WebWorker::sendState);
}

WebWorker::~WebWorker() = default;

bool WebWorker::listen(uint16_t* port, std::string* error) {
    QHostAddress address(QString::fromStdString(m_options.bindAddress));
    m_http = new WebHttpServer(*this, this);
    m_door = new WebDoor(*this, m_http);
    if (address.isNull() || !m_door->listen(address, m_options.port)) {
        *error = address.isNull() ? fillIn(translate("WebRemote", "\"%1\" is not an IP address"),
                                           {m_options.bindAddress})
                                  : m_door->errorString().toStdString();
        return false;
    }
    m_http->bind(m_door);
    m_liveServer = new QWebSocketServer("orvane", QWebSocketServer::NonSecureMode, this);
    m_liveServer->setHandshakeTimeout(m_options.limits.requestTimeout);
    connect(m_liveServer, &QWebSocketServer::newConnection, this, &WebWorker::onLiveConnection);
    *port = m_door->serverPort();
    m_notice->attach(this);
    return true;
}

void WebWorker::shutdown() {
    m_notice->attach(nullptr);
    m_notice->liveClients.store(0);
    m_sweep.stop();
    m_stateTimer.stop();
    for (auto& [socket, live] : std::exchange(m_live, {})) {
        socket->disconnect(this);
        delete socket;
    }
    delete m_liveServer;
    m_liveServer = nullptr;
    m_connections.clear();
    delete m_http; // the door and the sockets with it
    m_http = nullptr;
    m_door = nullptr;
    m_counters.connections.store(0);
    m_counters.liveClients.store(0);
}

void WebWorker::trouble(WebTrouble kind, const QString& peer, const std::string& detail) {
    m_log.add(kind, peer.toStdString(), detail, now());
    updateTimer();
}

void WebWorker::accept(qintptr descriptor) {
    if (int(m_connections.size()) >= m_options.limits.connections)
        makeRoom();
    auto* socket = new QTcpSocket(m_door);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(int(descriptor));
        delete socket;
        return;
    }
    // Nothing we take is larger; a peer that sends more waits in its own buffers.
    const HttpLimits& http = m_options.limits.http;
    socket->setReadBufferSize(qint64(http.headerBytes + http.bodyBytes + 4096));
    Connection& connection = m_connections[socket];
    connection.framer = HttpRequestFramer(http);
    connection.lastHeard = now();
    connection.peer = peerOf(*socket);
    // Connected before the HTTP server connects its own: the door sees each
    // read first, and can refuse it before the server parses it.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onBytes(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] {
        m_connections.erase(socket);
        m_counters.connections.store(int(m_connections.size()));
    });
    m_door->addPendingConnection(socket);
    m_counters.connections.store(int(m_connections.size()));
    updateTimer();
}

void WebWorker::makeRoom() {
    // A refused connection goes first, then one that has never carried the
    // token (a flood of them cannot push out the operator's page or button
    // box), then one between requests; of those, the one quiet the longest.
    auto victim = std::min_element(
        m_connections.begin(), m_connections.end(), [](const auto& a, const auto& b) {
            auto key = [](const Connection& c) {
                return std::tuple(!c.closing, c.trusted, c.framer.inRequest(), c.lastHeard);
            };
            return key(a.second) < key(b.second);
        });
    if (victim == m_connections.end())
        return;
    trouble(WebTrouble::TooManyConnections, victim->second.peer,
            fillIn(translate("WebRemote", "at most %1 connections at one time"),
                   {std::to_string(m_options.limits.connections)}));
    dropConnection(victim->first);
}

void WebWorker::dropConnection(QTcpSocket* socket) {
    m_connections.erase(socket);
    m_counters.connections.store(int(m_connections.size()));
    detachFromHttp(socket);
    socket->abort();
    socket->deleteLater();
}

void WebWorker::detachFromHttp(QTcpSocket* socket) {
    QObject::disconnect(socket, &QTcpSocket::readyRead, m_http, nullptr);
}

void WebWorker::onBytes(QTcpSocket* socket) {
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    Connection& c = it->second;
    Nanoseconds t = now();
    c.lastHeard = t;
    if (c.closing) {
        socket->readAll(); // drained until the peer closes or the linger ends
        return;
    }
    bool wasInRequest = c.framer.inRequest();
    // The HTTP server reads everything at each read, so what is waiting now
    // is exactly what came since the last one.
    QByteArray fresh = socket->peek(socket->bytesAvailable());
    auto verdict = c.framer.feed(std::string_view(fresh.constData(), size_t(fresh.size())));
    if (!wasInRequest && c.framer.inRequest())
        c.requestStart = t;
    switch (verdict) {
    case HttpRequestFramer::Verdict::Reading:
        return;
    case HttpRequestFramer::Verdict::Upgrade:
        upgrade(socket, c);
        return;
    case HttpRequestFramer::Verdict::HeadersTooLarge:
        refuse(socket, 431, c.framer.reason(), WebTrouble::HeadersTooLarge);
        return;
    case HttpRequestFramer::Verdict::BodyTooLarge:
        refuse(socket, 413, c.framer.reason(), WebTrouble::BodyTooLarge);
        return;
    case HttpRequestFramer::Verdict::BadRequest:
        refuse(socket, 400, c.framer.reason(), WebTrouble::BadRequest);
        return;
    }
}

void WebWorker::refuse(QTcpSocket* socket, int status, const std::string& reason, WebTrouble kind) {
    auto it = m_connections.find(socket);
    if (it == m_connections.end() || it->second.closing)
        return;
    Connection& c = it->second;
    detachFromHttp(socket);
    if (socket->isTransactionStarted())
        socket->commitTransaction();
    socket->readAll();
    c.closing = true;
    c.closeBy = now() + kLinger;
    // Logged before the peer can read the refusal: what it sees was said.
    trouble(kind, c.peer, reason);
    socket->write(rawRefusal(status, reason));
    socket->flush();
    // Our side ends once the refusal is out; the peer's bytes are drained
    // until it closes too.
    auto halfClose = [socket] {
        if (socket->bytesToWrite() == 0 && socket->state() == QAbstractSocket::ConnectedState)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, halfClose);
    halfClose();
}

void WebWorker::upgrade(QTcpSocket* socket, Connection& c) {
    std::string_view target = requestTarget(c.framer.headerBlock());
    size_t mark = target.find('?');
    std::string_view path = target.substr(0, mark);
    QUrlQuery query(
        mark == std::string_view::npos
            ? QString()
            : QString::fromUtf8(target.data() + mark + 1, qsizetype(target.size() - mark - 1)));
    std::string token =
        requestToken(headerValue(c.framer.headerBlock(), "Authorization"),
                     query.queryItemValue("token", QUrl::FullyDecoded).toStdString());
    if (path != "/ws")
        return refuse(socket, 404, translate("WebRemote", "no live connection at this path"),
                      WebTrouble::UnknownPath);
    if (!sameToken(token, m_options.token))
        return refuse(socket, 401, translate("WebRemote", kWrongToken), WebTrouble::WrongToken);
    if (int(m_live.size()) >= m_options.limits.liveClients)
        return refuse(socket, 503,
                      fillIn(translate("WebRemote", "all %1 live places are taken"),
                             {std::to_string(m_options.limits.liveClients)}),
                      WebTrouble::TooManyClients);
    detachFromHttp(socket);
    QObject::disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    // The HTTP server may hold the first part of the request in its reading.
    if (socket->isTransactionStarted())
        socket->rollbackTransaction();
    m_connections.erase(socket);
    m_counters.connections.store(int(m_connections.size()));
    m_liveServer->handleConnection(socket);
}

void WebWorker::onLiveConnection() {
    while (QWebSocket* socket = m_liveServer->nextPendingConnection()) {
        socket->setParent(this);
        socket->setMaxAllowedIncomingMessageSize(quint64(m_options.limits.liveMessageBytes));
        socket->setMaxAllowedIncomingFrameSize(quint64(m_options.limits.liveMessageBytes));
        Nanoseconds t = now();
        m_live[socket] = Live{t, t};
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& text) { onLiveMessage(socket, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this, [this, socket] {
            heard(socket);
            trouble(WebTrouble::BadMessage, peerOf(*socket),
                    translate("WebRemote", "a binary message"));
            socket->sendTextMessage(QString::fromUtf8(
                errorJson(translate("WebRemote", "messages are JSON text"), true)));
        });
        connect(socket, &QWebSocket::pong, this, [this, socket] { heard(socket); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropLive(socket); });
        socket->sendTextMessage(QString::fromUtf8(stateJson(m_board.latest(), true)));
    }
    m_counters.liveClients.store(int(m_live.size()));
    m_notice->liveClients.store(int(m_live.size()));
    updateTimer();
}

void WebWorker::heard(QWebSocket* socket) {
    auto it = m_live.find(socket);
    if (it != m_live.end())
        it->second.lastHeard = now();
}

void WebWorker::onLiveMessage(QWebSocket* socket, const QString& text) {
    heard(socket);
    auto parsed = parseLiveMessage(text.toUtf8());
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        trouble(WebTrouble::BadMessage, peerOf(*socket), *reason);
        socket->sendTextMessage(QString::fromUtf8(errorJson(*reason, true)));
        return;
    }
    if (std::holds_alternative<StateRequest>(parsed)) {
        if (socket->bytesToWrite() < kLiveBacklog)
            socket->sendTextMessage(QString::fromUtf8(stateJson(m_board.latest(), true)));
        return;
    }
    WebReply reply = m_api.push(std::get<RemoteCommand>(parsed), now());
    if (reply.status != 200) {
        trouble(WebTrouble::TooManyCommands, peerOf(*socket), reply.reason);
        socket->sendTextMessage(QString::fromUtf8(errorJson(reply.reason, true)));
    }
}

void WebWorker::dropLive(QWebSocket* socket) {
    if (m_live.erase(socket) == 0)
        return;
    if (socket->closeCode() == QWebSocketProtocol::CloseCodeTooMuchData)
        trouble(WebTrouble::BadMessage, peerOf(*socket),
                fillIn(translate("WebRemote", "a message over %1 bytes; the connection is closed"),
                       {std::to_string(m_options.limits.liveMessageBytes)}));
    socket->deleteLater();
    m_counters.liveClients.store(int(m_live.size()));
    m_notice->liveClients.store(int(m_live.size()));
    updateTimer();
}

void WebWorker::stateChanged() {
    m_notice->taken();
    if (m_live.empty() || m_stateTimer.isActive())
        return;
    Nanoseconds due = m_lastState + m_options.limits.statePeriod;
    Nanoseconds t = now();
    if (t >= due)
        sendState();
    else
        m_stateTimer.start(std::chrono::ceil<Milliseconds>(due - t));
}

void WebWorker::sendState() {
    uint64_t version = 0;
    RemoteState state = m_board.latest(&version);
    if (version == m_sentVersion)
        return;
    m_sentVersion = version;
    m_lastState = now();
    QString message = QString::fromUtf8(stateJson(state, true));
    for (auto& [socket, live] : m_live)
        if (socket->bytesToWrite() < kLiveBacklog)
            socket->sendTextMessage(message);
}

void WebWorker::answer(const QHttpServerRequest& request, QTcpSocket* socket) {
    m_counters.requests.fetch_add(1);
    std::string token =
        requestToken(request.value("Authorization").toStdString(),
                     request.query().queryItemValue("token", QUrl::FullyDecoded).toStdString());
    WebReply reply;
    bool trusted = sameToken(token, m_options.token);
    if (auto it = m_connections.find(socket); trusted && it != m_connections.end())
        it->second.trusted = true;
    if (!trusted) {
        std::string reason = translate("WebRemote", kWrongToken);
        reply = {401, "application/json", errorJson(reason), {}, reason};
    } else
        reply = m_api.answer(methodText(request.method()), request.url().path().toStdString(),
                             request.body(), now());
    if (reply.status >= 400)
        trouble(troubleOf(reply.status), peerOf(*socket),
                methodText(request.method()) + " " + request.url().path().toStdString() + ": " +
                    reply.reason);
    replyHttp(socket, request, reply);
}

void WebWorker::replyHttp(QTcpSocket* socket, const QHttpServerRequest& request,
                          const WebReply& reply) {
    QHttpServerResponder responder = WebHttpServer::responder(request, socket);
    responder.writeStatusLine(QHttpServerResponder::StatusCode(reply.status));
    responder.writeHeader("Content-Type", reply.contentType);
    responder.writeHeader("Content-Length", QByteArray::number(reply.body.size()));
    // The token travels in the page's address: it must not leave in a
    // Referer, stay in a cache, or let the page be framed by another site.
    responder.writeHeader("Cache-Control", "no-store");
    responder.writeHeader("Referrer-Policy", "no-referrer");
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    // untranslated-begin: an HTTP header
    responder.writeHeader("Content-Security-Policy",
                          "default-src 'none'; style-src 'unsafe-inline'; "
                          "script-src 'unsafe-inline'; connect-src 'self'; "
                          "frame-ancestors 'none'");
    // untranslated-end
    if (reply.status == 401)
        responder.writeHeader("WWW-Authenticate", "Bearer");
    if (!reply.allow.isEmpty())
        responder.writeHeader("Allow", reply.allow);
    responder.writeBody(reply.body);
}

void WebWorker::sweep() {
    Nanoseconds t = now();
    sweepHttp(t);
    sweepLive(t);
    m_log.flush(t);
    updateTimer();
}

void WebWorker::sweepHttp(Nanoseconds t) {
    std::vector<QTcpSocket*> cut;
    std::vector<QTcpSocket*> slow;
    for (auto& [socket, c] : m_connections) {
        if (c.closing ? t >= c.closeBy
                      : !c.framer.inRequest() && t - c.lastHeard >= m_options.limits.idleTimeout)
            cut.push_back(socket);
        else if (!c.closing && c.framer.inRequest() &&
                 t - c.requestStart >= m_options.limits.requestTimeout)
            slow.push_back(socket);
    }
    for (QTcpSocket* socket : cut)
        dropConnection(socket);
    for (QTcpSocket* socket : slow)
        refuse(socket, 408, translate("WebRemote", "the request did not arrive whole in time"),
               WebTrouble::SlowRequest);
}

void WebWorker::sweepLive(Nanoseconds t) {
    std::vector<QWebSocket*> silent;
    for (auto& [socket, live] : m_live) {
        if (t - live.lastHeard >= m_options.limits.liveSilence) {
            silent.push_back(socket);
        } else if (t - live.lastPing >= m_options.limits.livePing) {
            live.lastPing = t;
            socket->ping();
        }
    }
    for (QWebSocket* socket : silent)
        socket->abort(); // disconnected() drops it
}

void WebWorker::updateTimer() {
    // Only while something can time out: an idle remote costs no wake-ups.
    bool wanted = !m_connections.empty() || !m_live.empty() || m_log.pending();
    if (!wanted) {
        m_sweep.stop();
        return;
    }
    const WebRemoteLimits& l = m_options.limits;
    Milliseconds shortest = std::min({l.requestTimeout, l.idleTimeout, l.livePing, kLinger});
    Milliseconds period = std::clamp(shortest / 4, Milliseconds(10), Milliseconds(1000));
    if (!m_sweep.isActive() || m_sweep.intervalAsDuration() != period)
        m_sweep.start(period);
}

} // namespace orvane
