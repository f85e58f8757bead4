// The main window on the two screens an operator brings: a 1920 x 1080 desk
// screen, where the whole console shows without a scroll bar, and a
// 1366 x 768 laptop, where every control is on the screen and readable. Each
// test runs in a process of its own (as ctest runs them), started on its
// screen; run together in one process, the tests of the second size skip.

#include "app/orvanedlg.h"
#include "console/controlids.h"
#include "show/language.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "support/windowchecks.h"
#include "windows/dialogscale.h"
#include "windows/theme.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {

namespace fs = std::filesystem;

class MainWindowOnScreen : public ::testing::Test {
protected:
    void open(int width, int height) {
        if (!screenOfSize(width, height))
            GTEST_SKIP() << "the application runs on another screen: run this test alone";
        screen = QGuiApplication::primaryScreen()->geometry();
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        setenv("ORVANE_DMX_PORT", "/nonexistent/orvane-test", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        fs::create_directories(root.file("demo/step0"));
        StartOptions options;
        options.show = "demo"; // a chained start leaves the DMX line alone for 5 s
        dlg = std::make_unique<COrvaneDlg>(profiles, prompts, root.path(), "demo", options);
        dlg->OnInitDialog();
        QApplication::processEvents();
    }
    void TearDown() override {
        dlg.reset();
        applyTheme(Theme::classic());
        useLanguage(Language::English);
    }
    // The captions the French console cuts that the English one shows whole.
    std::vector<std::string> cutInFrenchOnly() {
        std::vector<CutCaption> english = captionsCut(dlg.get());
        dlg.reset();
        useLanguage(Language::French);
        open(screen.width(), screen.height());
        std::vector<std::string> worse;
        for (const CutCaption& c : captionsCut(dlg.get()))
            if (std::none_of(english.begin(), english.end(),
                             [&](const CutCaption& e) { return e.place == c.place; }))
                worse.push_back(c.what);
        return worse;
    }

    QScrollArea* scrollArea() const { return dlg->findChild<QScrollArea*>(); }
    QLabel* monitorLine() const { return dlg->findChild<QLabel*>("outputMonitor"); }

    QRect screen;
    TempDir root, config;
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    std::unique_ptr<COrvaneDlg> dlg;
};

class FullHdScreen : public MainWindowOnScreen {
protected:
    void SetUp() override { open(1920, 1080); }
};

class LaptopScreen : public MainWindowOnScreen {
protected:
    void SetUp() override { open(1366, 768); }
};

TEST_F(FullHdScreen, TheWholeConsoleShowsWithoutScrollBars) {
    EXPECT_TRUE(screen.contains(dlg->frameGeometry())) << dlg->width() << "x" << dlg->height();
    EXPECT_FALSE(scrollArea()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(scrollArea()->verticalScrollBar()->isVisible());
    const QRect window(dlg->mapToGlobal(QPoint(0, 0)), dlg->size());
    EXPECT_EQ(controlsOutside(dlg->consoleArea(), window), std::vector<std::string>{});
    // The status line at the top and the output monitor's line at the foot.
    for (QWidget* line : {dlg->widget(console::kStatus), static_cast<QWidget*>(monitorLine())}) {
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(line->isVisible());
        EXPECT_TRUE(window.contains(QRect(line->mapToGlobal(QPoint(0, 0)), line->size())));
    }
    EXPECT_EQ(fontsBelow(dlg.get(), kMinimumPoints), std::vector<std::string>{});
}

TEST_F(LaptopScreen, EveryControlIsOnTheScreenAndReadable) {
    EXPECT_TRUE(screen.contains(dlg->frameGeometry())) << dlg->width() << "x" << dlg->height();
    EXPECT_FALSE(scrollArea()->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(scrollArea()->verticalScrollBar()->isVisible());
    EXPECT_EQ(controlsOutside(dlg->consoleArea(), screen), std::vector<std::string>{});
    EXPECT_EQ(fontsBelow(dlg.get(), kMinimumPoints), std::vector<std::string>{});
    for (int id : {console::kSave, console::kQuit, console::kShowTime, console::kStatus})
        EXPECT_TRUE(dlg->widget(id)->isVisible()) << id;
}

// Both themes, as pictures to look at (build/test-artefacts/screenshots).
TEST_F(FullHdScreen, ScreenshotsInBothThemes) {
    ASSERT_TRUE(keepScreenshot(dlg.get(), "main-classic-1920x1080"));
    dlg.reset();
    applyTheme(Theme::stage());
    open(1920, 1080);
    ASSERT_TRUE(keepScreenshot(dlg.get(), "main-stage-1920x1080"));
}

TEST_F(LaptopScreen, Screenshot) {
    ASSERT_TRUE(keepScreenshot(dlg.get(), "main-classic-1366x768"));
}

// French captions are longer: none may be cut where the English one is whole.
TEST_F(FullHdScreen, FrenchCaptionsFitTheirControlsInBothThemes) {
    EXPECT_EQ(cutInFrenchOnly(), std::vector<std::string>{});
    ASSERT_TRUE(keepScreenshot(dlg.get(), "main-classic-fr-1920x1080"));
    dlg.reset();
    applyTheme(Theme::stage());
    open(1920, 1080);
    ASSERT_TRUE(keepScreenshot(dlg.get(), "main-stage-fr-1920x1080"));
}

TEST_F(LaptopScreen, FrenchCaptionsFitTheirControls) {
    EXPECT_EQ(cutInFrenchOnly(), std::vector<std::string>{});
    EXPECT_EQ(fontsBelow(dlg.get(), kMinimumPoints), std::vector<std::string>{});
    ASSERT_TRUE(keepScreenshot(dlg.get(), "main-classic-fr-1366x768"));
}

} // namespace
