// The real main window started without its DMX interface: no box waits during
// the start, the problem is said in the status line and the log, and the
// interface is taken up by the 2 s retry as soon as it appears.

#include "app/orvanedlg.h"
#include "console/controlids.h"
#include "support/pty.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;

namespace fs = std::filesystem;

TEST(StartupNotices, AMissingInterfaceOpensNoBoxAndIsTakenUpWhenItAppears) {
    testApp();
    TempDir root, config, dir;
    const std::string device = dir.file("ttyDMX");
    setenv("ORVANE_DMX_PORT", device.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    fs::create_directories(root.file("demo/step0"));
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    auto dlg = std::make_unique<COrvaneDlg>(profiles, prompts, root.path(), "demo", StartOptions{});
    dlg->OnInitDialog();

    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front().text;
    const std::string failed = "No DMX output for now: " + device +
                               " not found (No such file or directory); the interface is tried "
                               "again every 2 seconds";
    EXPECT_EQ(dlg->controls().text(console::kStatus), failed);
    auto* log = qobject_cast<QTextEdit*>(dlg->widget(console::kLog));
    ASSERT_NE(log, nullptr);
    std::string logText = log->toPlainText().toStdString();
    EXPECT_NE(
        logText.find("Cannot open the DMX interface " + device + ": No such file or directory"),
        std::string::npos)
        << logText;
    EXPECT_NE(logText.find(failed), std::string::npos) << logText;

    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    fs::create_symlink(pty.slavePath(), device);
    QElapsedTimer t;
    t.start();
    std::vector<uint8_t> bytes;
    while (bytes.size() < 2 * 513 && t.elapsed() < 6000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::vector<uint8_t> more = pty.drain();
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    EXPECT_GE(bytes.size(), 2u * 513);
    EXPECT_TRUE(prompts.shown.empty());
    dlg.reset();
    unsetenv("ORVANE_DMX_PORT");
}
