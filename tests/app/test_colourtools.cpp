// The global colour and manual mode windows as the main window opens, keeps and
// closes them, down to the universe the main timer publishes.

#include "app/orvanedlg.h"
#include "console/controlids.h"
#include "show/prompts.h"
#include "support/pty.h"
#include "support/qtapp.h"
#include "support/tempdir.h"
#include "windows/globalcolor.h"
#include "windows/manualmode.h"

#include <QMouseEvent>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

using namespace orvane;

namespace {

struct ColourTools : ::testing::Test {
    test::PtyPair pty;
    test::TempDir root, config;
    ProfileFiles profiles;
    NonInteractivePrompts prompts;
    std::unique_ptr<COrvaneDlg> dlg;
    Milliseconds now = 0ms;

    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        setenv("ORVANE_DMX_PORT", pty.slavePath().c_str(), 1);
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        testApp();
        ::mkdir(root.file("demo").c_str(), 0755);
        // Step 0 at full master; step 10, the first look, lights level 1 at 200.
        test::writeFile(root.file("demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=10\r\n"
                                                   "0$master=255\r\n"
                                                   "10$master=255\r\n10$1=200\r\n");
        dlg = std::make_unique<COrvaneDlg>(profiles, prompts, root.path(), "demo", StartOptions{});
        dlg->OnInitDialog();
    }
    void TearDown() override {
        dlg->OnDestroy();
        dlg.reset();
    }
    const Universe& tick() {
        dlg->mainTimer().OnTimer(timers::kPlayback, now += 20ms);
        return dlg->mainTimer().output();
    }
    template <typename W> std::vector<W*> windows() {
        const QList<W*> found = dlg->findChildren<W*>();
        return std::vector<W*>(found.begin(), found.end());
    }
};

TEST_F(ColourTools, GlobalColourIsCreatedOnceThenHiddenAndShown) {
    EXPECT_TRUE(windows<GlobalColor>().empty());
    dlg->controls().click(console::kGlobalColour);
    ASSERT_EQ(windows<GlobalColor>().size(), 1u);
    GlobalColor* window = windows<GlobalColor>().front();
    EXPECT_TRUE(window->isVisible());
    dlg->controls().click(console::kGlobalColour);
    EXPECT_FALSE(window->isVisible());
    dlg->controls().click(console::kGlobalColour);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(windows<GlobalColor>(), std::vector<GlobalColor*>{window});

    // A pick at the top centre of zone 1 turns colour 1 red at full level.
    QWidget* pad = window->widget(globalcolour::kZones[0].pad);
    const QPoint at = pad->contentsRect().topLeft() + QPoint(110, 0);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, at, pad->mapToGlobal(at), Qt::LeftButton,
                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(pad, &e);
    }
    window->OnTimer();
    window->OnTimer();
    const Universe& u = tick();
    EXPECT_EQ((std::vector<int>{u[34], u[35], u[36], u[37]}), (std::vector<int>{255, 0, 0, 0}));
}

TEST_F(ColourTools, ManualModeMixesItsFadersUntilClosed) {
    dlg->controls().click(console::kManualMode);
    ASSERT_EQ(windows<manualmode>().size(), 1u);
    manualmode* window = windows<manualmode>().front();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(dlg->controls().enabled(console::kFadeIn));
    EXPECT_EQ(window->controls().text(manualpanel::kFirstStep), "10");

    window->controls().scroll(manualpanel::kFaders[0], 255 - 128);
    window->OnTimer();
    EXPECT_EQ(tick()[0], 100); // 200 x 128 / 255
    window->controls().scroll(manualpanel::kFaders[0], 255);
    window->OnTimer();
    EXPECT_EQ(tick()[0], 0);

    dlg->controls().click(console::kManualMode);
    EXPECT_TRUE(windows<manualmode>().empty());
    EXPECT_TRUE(dlg->controls().enabled(console::kFadeIn));
    dlg->controls().setPos(console::kFaders[0], 255 - 77); // the console has the output again
    EXPECT_EQ(tick()[0], 77);
}

TEST_F(ColourTools, ShutdownDestroysBothWindows) {
    dlg->controls().click(console::kGlobalColour);
    dlg->controls().click(console::kManualMode);
    dlg->OnDestroy();
    EXPECT_TRUE(windows<GlobalColor>().empty());
    EXPECT_TRUE(windows<manualmode>().empty());
}

} // namespace
