// The web remote's page in a real browser (headless Chromium) against the
// server on loopback: it shows the show, its buttons and faders reach the
// console's command ring, and it says when the connection is lost and comes
// back by itself. Leaves a screenshot at a phone's size for a person to judge.

#include "sockets.h"
#include "support/chromium.h"
#include "webrig.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace orvane;
using namespace orvane::test;

namespace {

RemoteState showState(int step, const char* caption, const char* next) {
    RemoteState s;
    s.step = step;
    s.caption = caption;
    s.next = step + 1;
    s.nextCaption = next;
    s.master = 0.8;
    s.volume1 = 0.6;
    s.volume2 = 0.3;
    s.output = "USB-DMX interface ready";
    return s;
}

QString text(const char* id) {
    return QString("document.getElementById('%1').textContent").arg(id);
}

uint16_t freePort() {
    uint16_t port = 0;
    Fd listener(listenLoopback(&port));
    return port;
}

// The width and height a PNG's header gives.
std::pair<int, int> pngSize(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {0, 0};
    QByteArray head = file.read(24);
    if (head.size() < 24 || !head.startsWith("\x89PNG"))
        return {0, 0};
    auto word = [&](int at) {
        return (uint8_t(head[at]) << 24) | (uint8_t(head[at + 1]) << 16) |
               (uint8_t(head[at + 2]) << 8) | uint8_t(head[at + 3]);
    };
    return {int(word(16)), int(word(20))};
}

std::vector<RemoteCommand> waitForCommands(WebRig& rig, size_t count) {
    std::vector<RemoteCommand> popped;
    spinUntil([&] {
        for (const RemoteCommand& c : rig.popAll())
            popped.push_back(c);
        return popped.size() >= count;
    });
    return popped;
}

TEST(WebRemotePage, DrivesTheShowFromAPhoneSizedBrowser) {
    WebRig rig({}, nullptr, freePort());
    ASSERT_TRUE(rig.server.running()) << rig.startError;
    rig.board.publish(showState(12, "Ouverture", "Tableau 2"));
    HeadlessChromium browser;
    ASSERT_TRUE(browser.ok()) << browser.error();
    ASSERT_TRUE(browser.open(QString::fromStdString(rig.server.url())));

    ASSERT_TRUE(browser.waitFor(text("caption") + " === 'Ouverture'"));
    EXPECT_EQ(browser.evaluate(text("step")).toString(), "12");
    EXPECT_EQ(browser.evaluate(text("nextcaption")).toString(), "Tableau 2");
    EXPECT_EQ(browser.evaluate(text("output")).toString(), "USB-DMX interface ready");
    EXPECT_EQ(browser.evaluate(text("masterv")).toString(), "80%");
    // Texts the script shows come from the object the server writes into the page.
    EXPECT_EQ(browser.evaluate(text("linktext")).toString(), "Live");

    ASSERT_TRUE(browser.tap("go"));
    std::vector<RemoteCommand> popped = waitForCommands(rig, 1);
    ASSERT_EQ(popped.size(), 1u);
    EXPECT_EQ(popped[0], (RemoteCommand{RemoteVerb::Go, 0, 0}));

    // The console answers with a fade on its way to the next step.
    RemoteState fading = showState(13, "Tableau 2", "Final");
    fading.fading = true;
    fading.fadeProgress = 0.5;
    rig.board.publish(fading);
    ASSERT_TRUE(browser.waitFor(text("step") + " === '13'"));
    EXPECT_EQ(browser.evaluate("document.getElementById('fadebar').style.width").toString(), "50%");
    std::string shot = artefactFolder() + "/web-remote-360x640.png";
    ASSERT_TRUE(browser.screenshot(shot));
    EXPECT_EQ(pngSize(shot), std::make_pair(360, 640));

    for (const char* button : {"back", "stop", "pause"})
        ASSERT_TRUE(browser.tap(button));
    popped = waitForCommands(rig, 3);
    ASSERT_EQ(popped.size(), 3u);
    EXPECT_EQ(popped[0].verb, RemoteVerb::Back);
    EXPECT_EQ(popped[1].verb, RemoteVerb::Stop);
    EXPECT_EQ(popped[2].verb, RemoteVerb::Pause);

    // A fader moved by the finger: its last value reaches the console.
    browser.evaluate("(() => { const m = document.getElementById('volume2'); m.value = 250;"
                     " m.dispatchEvent(new Event('input')); m.dispatchEvent(new Event('change'));"
                     " })()");
    popped = waitForCommands(rig, 1);
    ASSERT_FALSE(popped.empty());
    EXPECT_EQ(popped.back(), (RemoteCommand{RemoteVerb::Volume, 2, 0.25f}));
}

TEST(WebRemotePage, SaysWhenTheConnectionIsLostAndComesBack) {
    WebRig rig({}, nullptr, freePort());
    ASSERT_TRUE(rig.server.running()) << rig.startError;
    rig.board.publish(showState(5, "Avant", "Après"));
    HeadlessChromium browser;
    ASSERT_TRUE(browser.ok()) << browser.error();
    ASSERT_TRUE(browser.open(QString::fromStdString(rig.server.url())));
    ASSERT_TRUE(browser.waitFor(text("caption") + " === 'Avant'"));
    const QString offline = "document.body.classList.contains('offline')";
    EXPECT_FALSE(browser.evaluate(offline).toBool());

    rig.server.stop();
    ASSERT_TRUE(browser.waitFor(offline));
    EXPECT_TRUE(browser
                    .evaluate("getComputedStyle(document.getElementById('lost')).display !== "
                              "'none'")
                    .toBool());

    rig.board.publish(showState(6, "Pendant", "Après"));
    ASSERT_TRUE(rig.server.start());
    ASSERT_TRUE(browser.waitFor("!" + offline, 15000));
    ASSERT_TRUE(browser.waitFor(text("caption") + " === 'Pendant'"));
}

TEST(WebRemotePage, AWrongTokenGetsNoPage) {
    WebRig rig;
    HeadlessChromium browser;
    ASSERT_TRUE(browser.ok()) << browser.error();
    std::string url = "http://127.0.0.1:" + std::to_string(rig.port()) + "/?token=guess";
    ASSERT_TRUE(browser.open(QString::fromStdString(url)));
    ASSERT_TRUE(browser.waitFor("document.readyState === 'complete'"));
    EXPECT_TRUE(browser.evaluate("document.getElementById('go') === null").toBool());
    EXPECT_TRUE(
        browser.evaluate("document.body.textContent.includes('wrong or missing token')").toBool());
}

} // namespace
