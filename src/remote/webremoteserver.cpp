#include "remote/webremoteserver.h"

#include "remote/websettings.h"
#include "remote/webtrouble.h"
#include "remote/webworker.h"

#include <QFile>
#include <QThread>

namespace orvane {

namespace {

QByteArray pageBytes() {
    QFile page(":/web/remote.html");
    return page.open(QIODevice::ReadOnly) ? page.readAll() : QByteArray();
}

} // namespace

WebRemoteServer::WebRemoteServer(WebRemoteOptions options, RemoteCommandRing& ring,
                                 RemoteStateBoard& board)
    : m_options(std::move(options)), m_ring(ring), m_board(board),
      m_notice(std::make_shared<StateNotice>()), m_log(std::make_unique<WebTroubleLog>()),
      m_counters(std::make_unique<WebCounters>()) {
    // The board outlives nothing it cannot reach: the notice is shared, and
    // forgets the worker when the server stops.
    board.onChange([notice = m_notice] { notice->poke(); });
}

WebRemoteServer::~WebRemoteServer() {
    stop();
}

bool WebRemoteServer::start(std::string* error) {
    if (m_thread)
        return true;
    std::string why;
    QByteArray page = pageBytes();
    if (m_options.token.empty())
        why = "no token";
    else if (page.isEmpty())
        why = "its page is missing from the program";
    if (why.empty()) {
        m_thread = std::make_unique<QThread>();
        m_thread->setObjectName("web remote");
        m_worker = new WebWorker(m_options, m_ring, m_board, *m_log, *m_counters, m_notice,
                                 std::move(page));
        m_worker->moveToThread(m_thread.get());
        m_thread->start();
        bool listening = false;
        QMetaObject::invokeMethod(
            m_worker, [&] { listening = m_worker->listen(&m_port, &why); },
            Qt::BlockingQueuedConnection);
        if (listening)
            return true;
        stop();
    }
    if (error)
        *error = why;
    return false;
}

void WebRemoteServer::stop() {
    if (!m_thread)
        return;
    QThread* here = QThread::currentThread();
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, here] {
            worker->shutdown();
            worker->moveToThread(here);
        },
        Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
    m_worker = nullptr;
    m_thread.reset();
    m_port = 0;
}

std::string WebRemoteServer::url() const {
    return webRemoteUrl(m_options.bindAddress, m_port, m_options.token);
}

std::string WebRemoteServer::where() const {
    return webWhere(m_options.bindAddress, m_port);
}

std::vector<LogLine> WebRemoteServer::takeLog() {
    return m_log->take();
}

WebRemoteCounts WebRemoteServer::counts() const {
    return {m_counters->connections.load(), m_counters->liveClients.load(),
            m_counters->requests.load(), m_log->total()};
}

} // namespace orvane
