// The fixture windows of a real main window: created at initialisation (the
// scanners hidden, the heads minimised), brought up by the "Head" buttons, and
// gone after the shutdown.

#include "app/orvanedlg.h"
#include "console/consoletable.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "windows/dialogscale.h"

#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

QWidget* topLevel(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == title)
            return w;
    return nullptr;
}

} // namespace

TEST(ToolWindows, FixtureWindowsLiveAndDieWithTheMainWindow) {
    testApp();
    TempDir root, config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ::mkdir(root.file("show").c_str(), 0755);
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    StartOptions options;
    options.show = "show"; // a chained start leaves the DMX line alone for 5 s
    std::array<QPointer<QWidget>, 3> scanners;
    std::array<QPointer<QWidget>, 5> heads;
    {
        COrvaneDlg dlg(profiles, prompts, root.path(), "show", options);
        dlg.OnInitDialog();
        for (int n = 1; n <= 3; ++n) {
            scanners[size_t(n - 1)] = topLevel(QString("Scanner %1").arg(n));
            ASSERT_TRUE(scanners[size_t(n - 1)]) << n;
            EXPECT_FALSE(scanners[size_t(n - 1)]->isVisible()) << "hidden";
        }
        for (int n = 1; n <= 5; ++n) {
            heads[size_t(n - 1)] = topLevel(QString("Moving head %1").arg(n));
            ASSERT_TRUE(heads[size_t(n - 1)]) << n;
            EXPECT_TRUE(heads[size_t(n - 1)]->isMinimized()) << n;
        }
        auto* button = dlg.findChild<QPushButton*>("head3");
        ASSERT_TRUE(button);
        EXPECT_EQ(button->text(), QStringLiteral("Head 3"));
        // The buttons sit where no control of the console is, inside the "Windows" frame.
        for (int n = 1; n <= 5; ++n) {
            QRect place = designGeometry(dlg.findChild<QPushButton*>(QString("head%1").arg(n)));
            for (const ControlDef& c : consoleControls()) {
                QRect other(c.x, c.y, c.w, c.h);
                if (c.kind == ControlKind::GroupBox || c.has(kHidden))
                    continue;
                EXPECT_FALSE(place.intersects(other)) << n << " overlaps " << c.id;
            }
        }
        button->click();
        EXPECT_FALSE(heads[2]->isMinimized());
        EXPECT_TRUE(heads[2]->isVisible());
        EXPECT_TRUE(heads[1]->isMinimized());
        EXPECT_FALSE(heads[2]->close()) << "the operator cannot close it";
        EXPECT_TRUE(heads[2]->isVisible());
        dlg.OnDestroy();
        for (const auto& w : scanners)
            EXPECT_FALSE(w);
        for (const auto& w : heads)
            EXPECT_FALSE(w);
        EXPECT_FALSE(dlg.findChild<QPushButton*>("head3"));
    }
    ::unsetenv("XDG_CONFIG_HOME");
}
