#include "support/chromium.h"

#include "support/webclient.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebSocket>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane::test {

namespace {

// The browser's DevTools address, from the line it writes on stderr.
std::string devtoolsAddress(const std::string& stderrPath, int timeoutMs) {
    std::string address;
    spinUntil(
        [&] {
            std::ifstream in(stderrPath);
            std::string line;
            while (std::getline(in, line)) {
                size_t at = line.find("DevTools listening on ");
                if (at != std::string::npos) {
                    address = line.substr(at + 22);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return address;
}

} // namespace

std::string artefactFolder() {
    std::string folder = std::string(ORVANE_TEST_ARTEFACTS) + "/screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

HeadlessChromium::HeadlessChromium() : m_socket(std::make_unique<QWebSocket>()) {
    QObject::connect(m_socket.get(), &QWebSocket::textMessageReceived, [this](const QString& t) {
        QJsonObject message = QJsonDocument::fromJson(t.toUtf8()).object();
        if (message.contains("id"))
            m_answers.push_back(message);
    });
    if (!start() && m_error.empty())
        m_error = "chromium did not start";
}

HeadlessChromium::~HeadlessChromium() {
    m_socket->abort();
    if (m_pid > 0) {
        ::kill(-m_pid, SIGKILL); // the browser and every process it started
        ::waitpid(m_pid, nullptr, 0);
    }
}

bool HeadlessChromium::start() {
    std::string errPath = m_profile.file("stderr.txt");
    std::string profile = m_profile.path() + "/profile";
    std::string userData = "--user-data-dir=" + profile;
    m_pid = ::fork();
    if (m_pid < 0) {
        m_error = "fork failed";
        return false;
    }
    if (m_pid == 0) {
        ::setpgid(0, 0);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(err, 2);
        ::execlp("chromium", "chromium", "--headless", "--no-sandbox", "--disable-gpu",
                 "--disable-quic", "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage",
                 "--mute-audio", "--hide-scrollbars", userData.c_str(), "--remote-debugging-port=0",
                 "about:blank", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(m_pid, m_pid);
    std::string address = devtoolsAddress(errPath, 30000);
    if (address.empty()) {
        m_error = "chromium gave no DevTools address (is the chromium package installed?)";
        return false;
    }
    m_socket->open(QUrl(QString::fromStdString(address)));
    if (!spinUntil([&] { return m_socket->state() == QAbstractSocket::ConnectedState; }, 10000)) {
        m_error = "no DevTools connection to " + address;
        return false;
    }
    return true;
}

QJsonObject HeadlessChromium::call(const QString& method, const QJsonObject& params, bool inPage,
                                   int timeoutMs) {
    int id = m_nextId++;
    QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
    if (inPage)
        message["sessionId"] = m_session;
    m_socket->sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
    QJsonObject answer;
    spinUntil(
        [&] {
            for (auto it = m_answers.begin(); it != m_answers.end(); ++it) {
                if ((*it)["id"].toInt() == id) {
                    answer = *it;
                    m_answers.erase(it);
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return answer["result"].toObject();
}

bool HeadlessChromium::open(const QString& url, int width, int height) {
    if (!ok())
        return false;
    QString target =
        call("Target.createTarget", {{"url", "about:blank"}}, false)["targetId"].toString();
    m_session =
        call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}}, false)["sessionId"]
            .toString();
    if (m_session.isEmpty())
        return false;
    call("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", true}});
    call("Emulation.setTouchEmulationEnabled", {{"enabled", true}});
    return call("Page.navigate", {{"url", url}}).contains("frameId");
}

QJsonValue HeadlessChromium::evaluate(const QString& expression) {
    QJsonObject result =
        call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    return result["result"].toObject()["value"];
}

bool HeadlessChromium::waitFor(const QString& expression, int timeoutMs) {
    return spinUntil([&] { return evaluate(expression).toBool(); }, timeoutMs);
}

bool HeadlessChromium::tap(const QString& id) {
    QJsonValue box = evaluate(QString("(() => { const e = document.getElementById('%1');"
                                      " if (!e) return null; const r = e.getBoundingClientRect();"
                                      " return [r.x + r.width / 2, r.y + r.height / 2]; })()")
                                  .arg(id));
    if (!box.isArray())
        return false;
    double x = box.toArray()[0].toDouble();
    double y = box.toArray()[1].toDouble();
    for (const char* type : {"mousePressed", "mouseReleased"})
        call("Input.dispatchMouseEvent",
             {{"type", type}, {"x", x}, {"y", y}, {"button", "left"}, {"clickCount", 1}});
    return true;
}

bool HeadlessChromium::screenshot(const std::string& path) {
    QByteArray png = QByteArray::fromBase64(
        call("Page.captureScreenshot", {{"format", "png"}})["data"].toString().toLatin1());
    QFile file(QString::fromStdString(path));
    return !png.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(png) == png.size();
}

} // namespace orvane::test
