// The console with every tool window open, in-process and offscreen: the windows
// $ORVANE_OPEN_WINDOWS asks for come up, and while nothing changes no window
// paints anything.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "console/controlids.h"
#include "dmx/prioritynotice.h"
#include "support/pty.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "windows/covscandlg.h"
#include "windows/easyshowbuilder.h"
#include "windows/globalcolor.h"
#include "windows/ovmovinghead.h"
#include "windows/sharedtick.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace orvane;

namespace {

// Counts the paint events of every widget of the application.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++painted[watched->objectName().isEmpty() ? watched->metaObject()->className()
                                                      : watched->objectName()];
        return false;
    }
    std::map<QString, int> painted;
};

// Runs the event loop for ms milliseconds.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Environment {
    test::TempDir root, config;
    Environment() {
        std::filesystem::create_directories(root.file("show/step0"));
        std::filesystem::create_directories(config.file("orvane"));
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        setenv("ORVANE_DMX_PORT", root.file("no-interface").c_str(), 1);
        setenv("ORVANE_PIPE_DIR", root.file("pipes").c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("ORVANE_OPEN_WINDOWS", "scanners heads globalcolour manualmode builder", 1);
    }
    ~Environment() {
        for (const char* name :
             {"XDG_CONFIG_HOME", "ORVANE_DMX_PORT", "ORVANE_PIPE_DIR", "ORVANE_OPEN_WINDOWS"})
            unsetenv(name);
    }
};

} // namespace

TEST(IdleConsole, EveryRequestedWindowOpensAndNothingPaintsWhileNothingChanges) {
    testApp();
    Environment env;
    ProfileFiles profiles;
    test::ScriptedPrompts prompts;
    StartOptions options;
    options.stepGiven = true;
    options.startStep = 3;
    COrvaneDlg main(profiles, prompts, env.root.path(), "show", options);
    main.OnInitDialog();

    PaintCounter opening, counter;
    qApp->installEventFilter(&opening);
    bool builderSeen = false;
    uint64_t wakeups = 0;
    // The builder runs modally from the first turn of the loop; these run inside it.
    QTimer::singleShot(1500, [&] {
        builderSeen = qobject_cast<easyshowbuilder*>(QApplication::activeModalWidget());
        qApp->removeEventFilter(&opening);
        qApp->installEventFilter(&counter); // every window has settled by now
        wakeups = SharedTick::wakeups();
    });
    QTimer::singleShot(3000, [&] {
        wakeups = SharedTick::wakeups() - wakeups;
        qApp->removeEventFilter(&counter);
        if (QWidget* modal = QApplication::activeModalWidget())
            qobject_cast<QDialog*>(modal)->reject();
    });
    runFor(3200);

    ToolWindows& tools = *main.tools();
    EXPECT_TRUE(builderSeen);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(tools.scannerWindow(n)->isVisible()) << "scanner " << n;
    for (int n = 1; n <= 5; ++n)
        EXPECT_FALSE(tools.headWindow(n)->isMinimized()) << "head " << n;
    ASSERT_NE(tools.globalColour(), nullptr);
    EXPECT_TRUE(tools.globalColour()->isVisible());
    EXPECT_TRUE(tools.manualModeOpen());
    EXPECT_GT(opening.painted.size(), 10u) << "the windows were painted when they came up";
    for (auto [widget, paints] : counter.painted)
        ADD_FAILURE() << widget.toStdString() << " painted " << paints << " times";
    // The playback clock and the windows' ticks rest; the line watch (4 a
    // second) and the one-second ticks go on. Awake, they would take 90.
    EXPECT_LE(wakeups, 12u);
}

TEST(OutputPriority, TheStatusLineSaysWhetherTheOutputThreadGotRealTimePriority) {
    testApp();
    Environment env;
    unsetenv("ORVANE_OPEN_WINDOWS");
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    setenv("ORVANE_DMX_PORT", pty.slavePath().c_str(), 1);
    ProfileFiles profiles;
    test::ScriptedPrompts prompts;
    StartOptions options;
    options.stepGiven = true;
    COrvaneDlg main(profiles, prompts, env.root.path(), "show", options);
    main.OnInitDialog();
    ASSERT_TRUE(main.dmx().tickRunning());
    runFor(int(kPrioritySettle.count()) + 600);
    EXPECT_EQ(main.controls().text(console::kStatus), priorityText(main.dmx().tickRealtime()));
}
