// The stage theme on a real main window and every tool window it opens: dark
// grounds and light text everywhere, the console's own ground included.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "windows/theme.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;

namespace {

TEST(StageTheme, EveryWindowFollowsIt) {
    testApp();
    TempDir root, config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("ORVANE_DMX_PORT", "/nonexistent/orvane-test", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::create_directories(root.file("demo/step0"));
    applyTheme(Theme::stage());
    {
        ProfileFiles profiles;
        ScriptedPrompts prompts;
        StartOptions options;
        options.show = "demo";
        COrvaneDlg dlg(profiles, prompts, root.path(), "demo", options);
        dlg.OnInitDialog();
        dlg.tools()->toggleTimeline();
        dlg.tools()->toggleGlobalColour();
        dlg.tools()->toggleManualMode();
        dlg.tools()->openShowTime(0, 0);
        QApplication::processEvents();
        int windows = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->inherits("QMenu") || w->inherits("QTipLabel"))
                continue;
            ++windows;
            const QString name = w->windowTitle();
            EXPECT_LT(w->palette().color(QPalette::Window).lightness(), 60) << name.toStdString();
            EXPECT_GT(w->palette().color(QPalette::WindowText).lightness(), 140)
                << name.toStdString();
            // What the window shows, not only its palette: its middle is dark.
            const QImage shot = w->grab().toImage();
            EXPECT_LT(shot.pixelColor(4, shot.height() / 2).lightness(), 80) << name.toStdString();
        }
        EXPECT_GE(windows, 1 + 3 + 5 + 4) << "main, scanners, heads, the opened tool windows";
        dlg.OnDestroy();
    }
    applyTheme(Theme::classic());
}

} // namespace
