// The web remote in a real main window (offscreen, in this test program's own
// network namespace): the settings turn it on, a token made for it is kept in
// the profile and its address said once in the log, the indicator says where
// it listens, and a request acts on the console through its controls.

#include "app/orvanedlg.h"
#include "app/remotesurfaces.h"
#include "console/controlids.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "support/webclient.h"

#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;

namespace {

constexpr uint16_t kPort = 18080;

struct WebStage {
    TempDir root, config;
    ProfileFiles profiles;
    ScriptedPrompts prompts;

    explicit WebStage(const std::string& settings) {
        testApp();
        std::filesystem::create_directories(root.file("show/step0"));
        std::filesystem::create_directories(config.file("orvane"));
        writeFile(root.file("show/dmx.ini"),
                  "[GLOBAL]\r\nmanualstep=1\r\n0$name=Doors\r\n3$name=Act one\r\n");
        writeFile(config.file("orvane/profile.ini"), "[settings]\r\n" + settings);
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        ::setenv("ORVANE_PIPE_DIR", root.file("pipes").c_str(), 1);
        ::setenv("ORVANE_DMX_PORT", config.file("no-line").c_str(), 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    ~WebStage() {
        for (const char* name : {"XDG_CONFIG_HOME", "ORVANE_PIPE_DIR", "ORVANE_DMX_PORT"})
            ::unsetenv(name);
    }
    std::string token() const {
        std::string profile = readFile(config.file("orvane/profile.ini"));
        size_t at = profile.find("webtoken=");
        return at == std::string::npos ? "" : profile.substr(at + 9, 32);
    }
};

std::string logText(COrvaneDlg& main) {
    auto* log = qobject_cast<QTextEdit*>(main.widget(console::kLog));
    return log ? log->toPlainText().toStdString() : std::string();
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(RemoteSurfacesWeb, AMadeTokenIsSaidOnceAndARequestActsOnTheConsole) {
    WebStage s("webport=" + std::to_string(kPort) + "\r\n");
    COrvaneDlg main(s.profiles, s.prompts, s.root.path(), "show", StartOptions{});
    main.OnInitDialog();
    std::string token = s.token();
    ASSERT_EQ(token.size(), 32u) << readFile(s.config.file("orvane/profile.ini"));
    EXPECT_EQ(main.controls().text(console::kRemoteSurfaces), "OSC: off  Web: 127.0.0.1:18080");
    std::string log = logText(main);
    EXPECT_NE(log.find("Web: listening on 127.0.0.1:18080"), std::string::npos) << log;
    std::string address = "open http://127.0.0.1:18080/?token=" + token;
    EXPECT_EQ(count(log, address), 1u) << log;
    EXPECT_NE(log.find(s.config.file("orvane/profile.ini")), std::string::npos) << log;

    QString t = QString::fromStdString(token);
    HttpAnswer answer = httpCall(kPort, "POST", "/api/step/3", {}, t);
    EXPECT_EQ(answer.status, 200) << answer.error.toStdString();
    ASSERT_TRUE(spinUntil([&] { return main.controls().text(console::kStepNumber) == "3"; }));
    ASSERT_TRUE(spinUntil([&] {
        return httpCall(kPort, "GET", "/api/state", {}, t).json()["caption"] == "Act one";
    }));
    EXPECT_EQ(httpCall(kPort, "POST", "/api/step/0", {}, "not-the-token").status, 401);

    // What the web remote's peers did wrong reaches the console's log.
    ASSERT_TRUE(spinUntil([&] {
        return logText(main).find("web remote: requests without the right token: 127.0.0.1") !=
               std::string::npos;
    }));
    EXPECT_EQ(main.controls().text(console::kStepNumber), "3");
    EXPECT_EQ(count(logText(main), address), 1u);
}

TEST(RemoteSurfacesWeb, AKeptTokenIsUsedAndNotSaidAgain) {
    WebStage s("webport=" + std::to_string(kPort) + "\r\nwebtoken=a-token-set-by-hand\r\n");
    COrvaneDlg main(s.profiles, s.prompts, s.root.path(), "show", StartOptions{});
    main.OnInitDialog();
    EXPECT_EQ(logText(main).find("?token="), std::string::npos) << logText(main);
    EXPECT_EQ(httpCall(kPort, "GET", "/api/state", {}, "a-token-set-by-hand").status, 200);
}

} // namespace
