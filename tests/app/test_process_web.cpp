// The web remote end to end: the real program on a pseudo-terminal DMX line,
// its web remote turned on in the profile, and the page in headless Chromium
// (all in this test program's own network namespace). The page opened with
// the token the program made shows the current step's caption; Go on the page
// brings the next step's bytes onto the line.

#include "support/chromium.h"
#include "support/craftedstep.h"
#include "support/orvaneprocess.h"
#include "support/pty.h"
#include "support/tempdir.h"
#include "support/webclient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <thread>

using namespace orvane::test;

namespace {

constexpr uint16_t kPort = 18081;

// Reads the line all the time (a line nobody reads fills up) and says once a
// frame has gone by.
class LineWatch {
public:
    LineWatch(PtyPair& pty, std::vector<uint8_t> frame)
        : m_pty(pty), m_frame(std::move(frame)), m_thread([this] { run(); }) {}
    ~LineWatch() {
        m_stop = true;
        m_thread.join();
    }
    bool seen() const { return m_seen; }
    void forget() { m_forget = true; }

private:
    void run() {
        std::vector<uint8_t> window;
        while (!m_stop) {
            std::vector<uint8_t> bytes = m_pty.read(2 * 513, 50);
            if (m_forget.exchange(false)) {
                window.clear();
                m_seen = false;
            }
            window.insert(window.end(), bytes.begin(), bytes.end());
            if (std::search(window.begin(), window.end(), m_frame.begin(), m_frame.end()) !=
                window.end())
                m_seen = true;
            if (window.size() > 4 * 513)
                window.erase(window.begin(), window.end() - 2 * 513);
        }
    }

    PtyPair& m_pty;
    std::vector<uint8_t> m_frame;
    std::atomic<bool> m_stop{false}, m_seen{false}, m_forget{false};
    std::thread m_thread;
};

std::string tokenIn(const std::string& profile) {
    size_t at = profile.find("webtoken=");
    if (at == std::string::npos)
        return {};
    size_t end = profile.find_first_of("\r\n", at);
    return profile.substr(at + 9, end - at - 9);
}

QString text(const char* id) {
    return QString("document.getElementById('%1').textContent").arg(id);
}

TEST(ProcessWeb, GoOnThePhonePageBringsTheNextStepOntoTheLine) {
    TempDir root, config;
    ::mkdir(root.file("demo").c_str(), 0755);
    writeFile(root.file("demo/dmx.ini"),
              craftedShowFile() + "3$name=Ouverture\r\n3$fadet=0.3\r\n4$name=Tableau\r\n");
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=demo\r\n[settings]\r\n"
                                                 "webport=" +
                                                     std::to_string(kPort) + "\r\n");
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    LineWatch line(pty, craftedStepFrame());
    OrvaneProcess p(root, config, {"STEP=3"}, {"ORVANE_DMX_PORT=" + pty.slavePath()});
    ASSERT_TRUE(p.waitForProfile("webtoken=")) << readFile(p.stderrPath());
    QString token = QString::fromStdString(tokenIn(readFile(p.profilePath())));
    ASSERT_EQ(token.size(), 32);
    ensureCoreApp();
    ASSERT_TRUE(spinUntil(
        [&] { return httpCall(kPort, "GET", "/api/state", {}, token).json()["step"] == 3; }, 15000))
        << readFile(p.stderrPath());
    line.forget();
    EXPECT_FALSE(line.seen()) << "step 4 is not on the line before Go";

    HeadlessChromium browser;
    ASSERT_TRUE(browser.ok()) << browser.error();
    ASSERT_TRUE(browser.open(QString("http://127.0.0.1:%1/?token=%2").arg(kPort).arg(token)));
    ASSERT_TRUE(browser.waitFor(text("caption") + " === 'Ouverture'"));
    EXPECT_EQ(browser.evaluate(text("nextcaption")).toString(), "Tableau");
    EXPECT_FALSE(line.seen());

    ASSERT_TRUE(browser.tap("go"));
    EXPECT_TRUE(spinUntil([&] { return line.seen(); }, 15000)) << "step 4's bytes on the line";
    ASSERT_TRUE(browser.waitFor(text("step") + " === '4'"));
    EXPECT_EQ(browser.evaluate(text("caption")).toString(), "Tableau");
    EXPECT_TRUE(browser.screenshot(artefactFolder() + "/web-remote-program-360x640.png"));
    EXPECT_EQ(p.terminate(SIGTERM), 0);
}

} // namespace
