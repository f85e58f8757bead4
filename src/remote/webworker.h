#pragma once
// The web remote's insides, on its own thread: the door every connection
// comes through (limits, timeouts, the hand-over of live connections), the
// HTTP server that answers the API, and the live connections. The server's
// thread makes one, runs it and undoes it; everything here runs on that
// thread except StateNotice::poke() and the counters.

#include "remote/httpframer.h"
#include "remote/webapi.h"
#include "remote/webremoteserver.h"
#include "remote/webtrouble.h"

#include <QAbstractHttpServer>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>

#include <atomic>
#include <map>
#include <mutex>

class QHttpServerRequest;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace orvane {

class WebDoor;
class WebHttpServer;
class WebWorker;

struct WebCounters {
    std::atomic<int> connections{0};
    std::atomic<int> liveClients{0};
    std::atomic<uint64_t> requests{0};
};

// Tells the worker that the state board changed. The board keeps it (through
// its listener) after the server is gone, so the worker is forgotten on stop.
struct StateNotice {
    // The user-interface thread (the board's listener). Never blocks for long;
    // at most one call waits in the worker's queue, and none while no live
    // connection listens.
    void poke();
    // The worker's thread: the poke was taken.
    void taken() { m_queued.store(false); }
    void attach(WebWorker* worker);
    std::atomic<int> liveClients{0};

private:
    std::mutex m_mutex;
    WebWorker* m_worker = nullptr;
    std::atomic<bool> m_queued{false};
};

class WebWorker : public QObject {
    Q_OBJECT
public:
    WebWorker(const WebRemoteOptions& options, RemoteCommandRing& ring,
              const RemoteStateBoard& board, WebTroubleLog& log, WebCounters& counters,
              std::shared_ptr<StateNotice> notice, QByteArray page);
    ~WebWorker() override;

    // Listens (the port in *port), or false with the reason.
    bool listen(uint16_t* port, std::string* error);
    // Closes everything.
    void shutdown();
    // Queued by StateNotice.
    void stateChanged();

    // The door's part, called by its QTcpServer.
    void accept(qintptr descriptor);
    // The HTTP server's part: the answer to a whole request.
    void answer(const QHttpServerRequest& request, QTcpSocket* socket);

private:
    struct Connection {
        HttpRequestFramer framer;
        Nanoseconds lastHeard{};
        Nanoseconds requestStart{};
        Nanoseconds closeBy{}; // while closing: when it is cut
        bool closing = false;
        bool trusted = false; // has carried the token
        QString peer;
    };
    struct Live {
        Nanoseconds lastHeard{};
        Nanoseconds lastPing{};
    };

    Nanoseconds now() const { return m_clock.now(); }
    void onBytes(QTcpSocket* socket);
    void refuse(QTcpSocket* socket, int status, const std::string& reason, WebTrouble kind);
    void detachFromHttp(QTcpSocket* socket);
    void upgrade(QTcpSocket* socket, Connection& connection);
    void makeRoom();
    void onLiveConnection();
    void onLiveMessage(QWebSocket* socket, const QString& text);
    void heard(QWebSocket* socket);
    void dropLive(QWebSocket* socket);
    void dropConnection(QTcpSocket* socket);
    void replyHttp(QTcpSocket* socket, const QHttpServerRequest& request, const WebReply& reply);
    void sendState();
    void sweep();
    void sweepHttp(Nanoseconds t);
    void sweepLive(Nanoseconds t);
    void updateTimer();
    void trouble(WebTrouble kind, const QString& peer, const std::string& detail);

    WebRemoteOptions m_options;
    const Clock& m_clock;
    const RemoteStateBoard& m_board;
    WebTroubleLog& m_log;
    WebCounters& m_counters;
    CommandRate m_rate;
    WebApi m_api;
    WebHttpServer* m_http = nullptr; // owns the door, which owns the sockets
    WebDoor* m_door = nullptr;
    QWebSocketServer* m_liveServer = nullptr;
    std::map<QTcpSocket*, Connection> m_connections;
    std::map<QWebSocket*, Live> m_live;
    QTimer m_sweep;
    QTimer m_stateTimer;
    Nanoseconds m_lastState{};
    uint64_t m_sentVersion = 0;
    std::shared_ptr<StateNotice> m_notice;
};

} // namespace orvane
