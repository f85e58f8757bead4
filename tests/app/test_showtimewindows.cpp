// The show time window and the timeline in the real main window: the console's
// buttons open them, the main window's keys and activation work with them.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "console/controlids.h"
#include "show/prompts.h"
#include "support/qtapp.h"
#include "support/tempdir.h"
#include "windows/showtime2.h"
#include "windows/timeline.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

// Qt's own entry to its shortcut map, the one its test library uses.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString& text,
                                               bool autorep, ushort count);

using namespace orvane;
using orvane::test::TempDir;
using orvane::test::writeFile;

namespace {

class ShowTimeInMainWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testApp();
        s_root = new TempDir;
        s_config = new TempDir;
        setenv("XDG_CONFIG_HOME", s_config->path().c_str(), 1);
        setenv("ORVANE_DMX_PORT", "/nonexistent/dmx", 1);
        ::mkdir(s_root->file("show").c_str(), 0755);
        // Step 1 fades in by itself when activated; step 7 carries a name.
        writeFile(s_root->file("show/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n"
                                                "1$autofade=1\r\n1$fadet=60.000000\r\n"
                                                "7$name=Finale\r\n");
        s_prompts = new NonInteractivePrompts;
        s_dlg = new COrvaneDlg(s_profiles, *s_prompts, s_root->path(), "show", StartOptions{});
        s_dlg->OnInitDialog();
    }
    static void TearDownTestSuite() {
        s_dlg->OnDestroy();
        EXPECT_EQ(s_dlg->tools()->showTime(), nullptr);
        EXPECT_EQ(s_dlg->tools()->timelineWindow(), nullptr);
        delete s_dlg;
        delete s_prompts;
        delete s_root;
        delete s_config;
    }

    ControlModel& main() { return s_dlg->controls(); }
    void go(int step) { main().setText(console::kStepNumber, std::to_string(step)); }
    int current() { return s_dlg->session().currentStep(); }

    static ProfileFiles s_profiles;
    static NonInteractivePrompts* s_prompts;
    static TempDir* s_root;
    static TempDir* s_config;
    static COrvaneDlg* s_dlg;
};

ProfileFiles ShowTimeInMainWindow::s_profiles;
NonInteractivePrompts* ShowTimeInMainWindow::s_prompts = nullptr;
TempDir* ShowTimeInMainWindow::s_root = nullptr;
TempDir* ShowTimeInMainWindow::s_config = nullptr;
COrvaneDlg* ShowTimeInMainWindow::s_dlg = nullptr;

TEST_F(ShowTimeInMainWindow, ShowTimeTakesOverAndCloseGivesTheConsoleBack) {
    showtime2* st = s_dlg->tools()->showTime();
    ASSERT_NE(st, nullptr) << "created at start-up";
    EXPECT_FALSE(st->isVisible());
    go(3);
    main().setText(console::kStatus, "Auto fade disable");
    main().setPos(console::kMasterVolumeLeft, 1500);
    main().setPos(console::kMasterVolumeRight, 1500);
    QWidget* stepField = s_dlg->widget(console::kStepNumber); // in view of any screen
    const QPoint onStepField = stepField->mapTo(s_dlg, stepField->rect().center());
    ASSERT_EQ(s_dlg->childAt(onStepField), stepField);
    main().click(console::kShowTime);
    EXPECT_TRUE(st->isVisible());
    EXPECT_EQ(main().text(console::kStatus), "");
    EXPECT_EQ(st->panel().controls().pos(showtime::kVolumeLeft), 1500);
    EXPECT_NE(s_dlg->childAt(onStepField), stepField) << "the console is locked";

    // The locked console's hot keys still act, here Alt+Space from show time.
    st->activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(qt_sendShortcutOverrideEvent(st, 0, Qt::Key_Space, Qt::AltModifier, " ", false, 1));
    EXPECT_TRUE(main().checked(console::kFadeIn));
    main().setChecked(console::kFadeIn, false);

    // The main window's own volume keys are off while show time is open.
    InputState& keys = s_dlg->input();
    keys.keyDown(vk::kAlt);
    keys.keyDown(vk::kDelete);
    s_dlg->mainTimer().OnTimer(timers::kPlayback, s_dlg->now());
    EXPECT_EQ(main().pos(console::kMasterVolumeLeft), 1500);

    // Page Up steps back without the step's automation: step 2, then no fade-in.
    keys.keyUp(vk::kAlt);
    keys.keyUp(vk::kDelete);
    go(2);
    keys.keyDown(vk::kPageUp);
    st->panel().tick();
    keys.keyUp(vk::kPageUp);
    EXPECT_EQ(current(), 1);
    EXPECT_FALSE(main().checked(console::kFadeIn)) << "step 1's auto fade was skipped";
    EXPECT_EQ(st->panel().controls().text(showtime::kStepShown), "1");

    // "Next step" counts its 500 ms from the window's creation.
    QThread::msleep(500);
    st->panel().controls().click(showtime::kNextStep);
    EXPECT_TRUE(main().checked(console::kFadeIn)) << "\"Next step\" pressed \"Fade in\"";

    st->panel().controls().click(showtime::kClose);
    EXPECT_FALSE(st->isVisible());
    EXPECT_EQ(s_dlg->childAt(onStepField), stepField);
    keys.keyDown(vk::kAlt);
    keys.keyDown(vk::kDelete);
    s_dlg->mainTimer().OnTimer(timers::kPlayback, s_dlg->now());
    keys.keyUp(vk::kAlt);
    keys.keyUp(vk::kDelete);
    EXPECT_EQ(main().pos(console::kMasterVolumeLeft), 10000) << "Alt+Delete mutes again";
    main().setChecked(console::kFadeIn, false);
}

// Keys typed on the show time window, as the window system delivers them: the
// program's key-state tracker sees them and the 10 ms tick acts on them.
TEST_F(ShowTimeInMainWindow, KeysTypedOnShowTimeReachItsTick) {
    showtime2* st = s_dlg->tools()->showTime();
    main().setChecked(console::kVolumeLocked, true);
    main().setPos(console::kMasterVolumeLeft, 3000);
    main().setPos(console::kMasterVolumeRight, 3000);
    main().click(console::kShowTime);
    ASSERT_TRUE(st->panel().isOpen());
    QWidget* focus = st->widget(showtime::kNextStep);
    auto key = [&](QEvent::Type type, int k, Qt::KeyboardModifiers mods) {
        QKeyEvent e(type, k, mods);
        QApplication::sendEvent(focus, &e);
    };
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int left, right; // the main window's faders after one tick
    } cases[] = {
        {Qt::Key_PageDown, Qt::ShiftModifier, 3020, 3020}, // quieter, both locked
        {Qt::Key_PageUp, Qt::ShiftModifier, 3000, 3000},   // louder again
        {Qt::Key_Delete, Qt::NoModifier, 10000, 10000},    // mute
    };
    for (const Case& c : cases) {
        key(QEvent::KeyPress, c.key, c.mods);
        st->panel().tick();
        key(QEvent::KeyRelease, c.key, c.mods);
        EXPECT_EQ(main().pos(console::kMasterVolumeLeft), c.left) << c.key;
        EXPECT_EQ(main().pos(console::kMasterVolumeRight), c.right) << c.key;
    }
    // Page Up without Shift: one step back.
    go(6);
    QThread::msleep(210); // past the last step back's 200 ms
    key(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
    st->panel().tick();
    key(QEvent::KeyRelease, Qt::Key_PageUp, Qt::NoModifier);
    EXPECT_EQ(current(), 5);
    st->panel().controls().click(showtime::kClose);
    main().setChecked(console::kFadeIn, false);
}

TEST_F(ShowTimeInMainWindow, TimelineOpensFollowsActivationAndJumps) {
    go(1);
    main().setChecked(console::kFadeIn, false);
    ASSERT_EQ(s_dlg->tools()->timelineWindow(), nullptr) << "created on first use";
    main().click(console::kShowTimeline);
    timeline* tl = s_dlg->tools()->timelineWindow();
    ASSERT_NE(tl, nullptr);
    EXPECT_TRUE(tl->isVisible());
    TimelineState& view = tl->state();
    EXPECT_EQ(view.firstVisible(), 0);
    EXPECT_EQ(view.lastVisible(), 15);
    go(20);
    EXPECT_EQ(view.currentStep(), 20);
    EXPECT_EQ(view.firstVisible(), 19);
    EXPECT_EQ(view.lastVisible(), 34);
    go(1);
    EXPECT_EQ(view.firstVisible(), 0);
    go(5);
    EXPECT_EQ(view.firstVisible(), 0) << "step 5 is in view";
    EXPECT_EQ(view.currentStep(), 5);

    tl->resize(200, 600);
    QPointF row7(100, 7 * 40 + 10);
    QMouseEvent click(QEvent::MouseButtonDblClick, row7, tl->mapToGlobal(row7), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(tl, &click);
    EXPECT_EQ(current(), 7);
    EXPECT_EQ(main().text(console::kStepName), "Finale");

    main().click(console::kShowTimeline);
    EXPECT_FALSE(tl->isVisible());
    main().click(console::kShowTimeline);
    EXPECT_TRUE(tl->isVisible());
    EXPECT_EQ(s_dlg->tools()->timelineWindow(), tl) << "one window for the run";
}

} // namespace
