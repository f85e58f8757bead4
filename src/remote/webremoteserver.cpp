#include "remote/webremoteserver.h"

#include "remote/webpage.h"
#include "remote/websettings.h"
#include "remote/webtrouble.h"
#include "remote/webworker.h"
#include "show/language.h"

#include <QEventLoop>
#include <QFile>

#include <future>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace orvane {

// The server's thread, with an event loop of its own. Everything on it is
// made, run and undone inside run(): nothing crosses between the threads but
// the start's result (through a promise), the request to end (a queued quit)
// and the thread's end (join). A plain thread rather than a QThread, so that
// every hand-over is one the thread tools see.
class WebThread {
public:
    struct Started {
        bool listening = false;
        uint16_t port = 0;
        std::string error;
    };

    WebThread(const WebRemoteOptions& options, RemoteCommandRing& ring,
              const RemoteStateBoard& board, WebTroubleLog& log, WebCounters& counters,
              std::shared_ptr<StateNotice> notice, QByteArray page)
        : m_options(options), m_ring(ring), m_board(board), m_log(log), m_counters(counters),
          m_notice(std::move(notice)), m_page(std::move(page)) {}
    ~WebThread() { stop(); }

    Started start() {
        std::future<Started> started = m_started.get_future();
        m_thread = std::thread([this] { run(); });
        return started.get();
    }

    void stop() {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            if (m_loop)
                QMetaObject::invokeMethod(m_loop, "quit", Qt::QueuedConnection);
        }
        m_thread.join();
    }

private:
    void run() {
        pthread_setname_np(pthread_self(), "web remote"); // untranslated: a thread's name
        QEventLoop loop;
        WebWorker worker(m_options, m_ring, m_board, m_log, m_counters, m_notice,
                         std::move(m_page));
        Started result;
        result.listening = worker.listen(&result.port, &result.error);
        bool listening = result.listening;
        if (listening) {
            std::lock_guard lock(m_mutex);
            m_loop = &loop;
        }
        m_started.set_value(std::move(result));
        if (listening)
            loop.exec();
        {
            std::lock_guard lock(m_mutex);
            m_loop = nullptr;
        }
        worker.shutdown();
    }

    WebRemoteOptions m_options;
    RemoteCommandRing& m_ring;
    const RemoteStateBoard& m_board;
    WebTroubleLog& m_log;
    WebCounters& m_counters;
    std::shared_ptr<StateNotice> m_notice;
    QByteArray m_page;
    std::promise<Started> m_started;
    std::mutex m_mutex;
    QEventLoop* m_loop = nullptr; // while it runs
    std::thread m_thread;
};

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
    QByteArray page = localisedPage(pageBytes());
    if (m_options.token.empty())
        why = translate("WebRemote", "no token");
    else if (page.isEmpty())
        why = translate("WebRemote", "its page is missing from the program");
    if (why.empty()) {
        m_thread = std::make_unique<WebThread>(m_options, m_ring, m_board, *m_log, *m_counters,
                                               m_notice, std::move(page));
        WebThread::Started result = m_thread->start();
        if (result.listening) {
            m_port = result.port;
            return true;
        }
        why = result.error;
        stop();
    }
    if (error)
        *error = why;
    return false;
}

void WebRemoteServer::stop() {
    if (!m_thread)
        return;
    m_thread->stop();
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
