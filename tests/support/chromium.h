#pragma once
// Headless Chromium as a real browser for the web remote's page, driven
// through its DevTools protocol over a WebSocket (Qt's client). It runs in a
// process group of its own with a fresh profile folder, and is killed with
// that group (and the folder removed) when the object goes. It fetches
// nothing from the internet: background networking, updates and sync are off.
//
// The caller's thread needs a QCoreApplication; calls spin its event loop.

#include "support/tempdir.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <memory>
#include <string>
#include <sys/types.h>

class QWebSocket;

namespace orvane::test {

class HeadlessChromium {
public:
    HeadlessChromium();
    ~HeadlessChromium();
    HeadlessChromium(const HeadlessChromium&) = delete;
    HeadlessChromium& operator=(const HeadlessChromium&) = delete;

    // False when no browser could be started (the reason in error()).
    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

    // A new tab the size of a phone (a touch screen), then the address in it.
    bool open(const QString& url, int width = 360, int height = 640);
    // The value of a JavaScript expression in the page (null on failure).
    QJsonValue evaluate(const QString& expression);
    // Evaluates until the expression is true. False on timeout.
    bool waitFor(const QString& expression, int timeoutMs = 10000);
    // A mouse press and release on the middle of the element with that id, as
    // a finger would: a hidden or covered element is not reached.
    bool tap(const QString& id);
    // The page as a PNG, written to path; false when it could not be taken.
    bool screenshot(const std::string& path);

private:
    QJsonObject call(const QString& method, const QJsonObject& params = {}, bool inPage = true,
                     int timeoutMs = 10000);
    bool start();

    TempDir m_profile;
    pid_t m_pid = -1;
    std::string m_error;
    std::unique_ptr<QWebSocket> m_socket;
    std::vector<QJsonObject> m_answers;
    int m_nextId = 1;
    QString m_session;
};

// Where tests leave what a person may want to look at (screenshots):
// <build folder>/test-artefacts/screenshots, made when missing.
std::string artefactFolder();

} // namespace orvane::test
