// The stage theme on a real main window and every tool window it opens: dark
// grounds and light text everywhere, the console's own ground included.

#include "consolewithtools.h"
#include "windows/theme.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::test;

namespace {

TEST(StageTheme, EveryWindowFollowsIt) {
    testApp();
    applyTheme(Theme::stage());
    {
        ConsoleWithToolWindows console;
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
    }
    applyTheme(Theme::classic());
}

} // namespace
