// The show time window: its controls by id, the locked main window, full
// screen and back, scaling, and the keys the dialog itself takes.

#include "console/consoletable.h"
#include "console/controlids.h"
#include "support/manualclock.h"
#include "support/qtapp.h"
#include "windows/dialogbuilder.h"
#include "windows/showtime2.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace orvane;

namespace {

struct ShowTimeWindowFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    ControlModel main;
    InputState input;
    test::ManualClock clock{10000ms};
    int fadeIns = 0;
    std::vector<std::string> calls;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<QAbstractButton> ownerButton;
    std::unique_ptr<showtime2> window;

    void SetUp() override {
        testApp();
        populateConsole(main);
        main.add(console::kStepNumber, ControlKind::Edit, "12");
        main.add(console::kStepName, ControlKind::Edit, "Opening");
        for (int id : {console::kMasterVolumeLeft, console::kMasterVolumeRight})
            main.setPos(id, 2500);
        main.on(ControlEvent::Clicked, console::kFadeIn, [this] { ++fadeIns; });
        main.on(ControlEvent::Clicked, console::kStop, [this] { calls.push_back("stop"); });
        owner = std::make_unique<QWidget>();
        owner->resize(800, 600);
        ownerButton.reset(new QPushButton("console", owner.get()));
        ownerButton->setGeometry(10, 10, 100, 30);
        owner->show();
        window = std::make_unique<showtime2>(owner.get(), main, store, input, clock, [] {});
        clock.advance(1000ms);
    }
    void TearDown() override {
        window.reset();
        ownerButton.reset();
        owner.reset();
    }

    ControlModel& st() { return window->panel().controls(); }
    // The close box: the window system tells the platform window, which asks
    // the widget with a spontaneous close event.
    static void windowSystemClose(QWidget* w) {
        QCloseEvent e;
        QApplication::sendEvent(w->windowHandle(), &e);
    }
    // What a click at this point of the main window would reach.
    QWidget* under(QPoint p) { return owner->childAt(p); }
};

TEST_F(ShowTimeWindowFixture, HasThePanelsControlsAndStartsHidden) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Show time !"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    const std::pair<int, const char*> buttons[] = {
        {showtime::kNextStep, "Next step"}, {showtime::kStop, "Stop"},
        {showtime::kPause, "Pause"},        {showtime::kFullScreen, "Fs"},
        {showtime::kClose, "Close"},        {showtime::kLocked, "locked"}};
    for (auto [id, caption] : buttons) {
        auto* b = qobject_cast<QAbstractButton*>(window->widget(id));
        ASSERT_NE(b, nullptr) << id;
        EXPECT_EQ(b->text(), QString::fromLatin1(caption));
    }
    for (int id : {showtime::kVolumeLeft, showtime::kVolumeRight}) {
        auto* s = qobject_cast<QAbstractSlider*>(window->widget(id));
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->orientation(), Qt::Vertical);
        EXPECT_EQ(s->maximum(), 10000);
        EXPECT_EQ(s->value(), 2500) << "the main window's position at initialisation";
    }
    EXPECT_TRUE(st().checked(showtime::kLocked));
    auto* help = qobject_cast<QLabel*>(window->widget(showtime::kHelp));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(),
              QStringLiteral("Page Up / Page Down control Master Volume (shift=slow control), "
                             "Suppr mute, Space goto next step, plus and minus goto next or "
                             "previous step, A-Z control lights (shift for blink)"));
    auto* timer = window->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 10);
    // A closed panel's tick has nothing to do: it must not wake the program.
    EXPECT_FALSE(timer->isActive());
    window->panel().open(1000, 2000);
    EXPECT_TRUE(timer->isActive());
    window->panel().close();
    EXPECT_FALSE(timer->isActive());
}

TEST_F(ShowTimeWindowFixture, OpeningLocksTheMainWindowAndCloseGivesItBack) {
    const QPoint onButton(20, 20);
    ASSERT_EQ(under(onButton), ownerButton.get());
    window->panel().open(1000, 2000);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->mainLocked());
    EXPECT_NE(under(onButton), ownerButton.get()) << "the shade takes the click";
    EXPECT_TRUE(owner->isEnabled()) << "its shortcuts still act";
    EXPECT_EQ(qobject_cast<QAbstractSlider*>(window->widget(showtime::kVolumeRight))->value(),
              2000);
    EXPECT_EQ(st().text(showtime::kStepShown), "12");
    QWidget* next = window->widget(showtime::kNextStep);
    EXPECT_EQ(window->focusWidget(), next);
    // "Stop" and "Pause" (here disabled in the main window) give the focus back.
    main.setEnabled(console::kPause, false);
    for (int id : {showtime::kStop, showtime::kPause}) {
        window->widget(showtime::kClose)->setFocus();
        st().click(id);
        EXPECT_EQ(window->focusWidget(), next) << id;
    }
    EXPECT_FALSE(main.checked(console::kPause));
    // The locked window's close box, as the window system reports it, does nothing.
    windowSystemClose(owner.get());
    EXPECT_TRUE(owner->isVisible());
    st().click(showtime::kClose);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->mainLocked());
    EXPECT_EQ(under(onButton), ownerButton.get());
    // Closed from outside, as by the window manager: the same.
    window->panel().open(1000, 2000);
    window->close();
    EXPECT_FALSE(window->panel().isOpen());
    EXPECT_EQ(under(onButton), ownerButton.get());
    windowSystemClose(owner.get());
    EXPECT_FALSE(owner->isVisible()) << "unlocked, it closes";
    owner->show();
    window->panel().open(1000, 2000);
    owner->close();
    EXPECT_FALSE(owner->isVisible()) << "the program's own close (a termination signal) goes";
}

TEST_F(ShowTimeWindowFixture, FullScreenTwiceRestoresTheGeometry) {
    window->panel().open(0, 0);
    window->setGeometry(100, 120, 500, 400);
    const QRect before = window->geometry();
    st().click(showtime::kFullScreen);
    QApplication::processEvents();
    EXPECT_TRUE(window->fullScreenOn());
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(window->geometry().size(), window->screen()->geometry().size());
    st().click(showtime::kFullScreen);
    QApplication::processEvents();
    EXPECT_FALSE(window->fullScreenOn());
    EXPECT_EQ(window->geometry(), before);
}

TEST_F(ShowTimeWindowFixture, ControlsAndTextScaleWithTheWindow) {
    window->panel().open(0, 0);
    window->resize(showtime2::kBaseWidth, showtime2::kBaseHeight);
    QWidget* next = window->widget(showtime::kNextStep);
    const QRect small = next->geometry();
    const double points = next->font().pointSizeF();
    window->resize(2 * showtime2::kBaseWidth, 2 * showtime2::kBaseHeight);
    EXPECT_NEAR(next->geometry().width(), 2 * small.width(), 2);
    EXPECT_NEAR(next->geometry().height(), 2 * small.height(), 2);
    EXPECT_NEAR(next->font().pointSizeF(), 2 * points, 0.01);
    // A wide, flat window scales the text by its smaller side.
    window->resize(4 * showtime2::kBaseWidth, 2 * showtime2::kBaseHeight);
    EXPECT_NEAR(next->font().pointSizeF(), 2 * points, 0.01);
    EXPECT_NEAR(next->geometry().width(), 4 * small.width(), 4);
}

TEST_F(ShowTimeWindowFixture, EscapeAndEnterAreNextStepAndOtherKeysAreSwallowed) {
    window->panel().open(5000, 5000);
    QWidget* next = window->widget(showtime::kNextStep);
    auto press = [&](QWidget* target, int key) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &up);
    };
    press(next, Qt::Key_Escape);
    EXPECT_EQ(fadeIns, 1);
    EXPECT_TRUE(window->isVisible()) << "Escape never ends the window";
    clock.advance(600ms);
    press(window->widget(showtime::kStop), Qt::Key_Return); // wherever the focus is
    EXPECT_EQ(fadeIns, 2);
    EXPECT_TRUE(calls.empty()) << "Enter never presses Stop";
    clock.advance(600ms);
    press(next, Qt::Key_PageDown);
    press(next, Qt::Key_A);
    EXPECT_EQ(fadeIns, 2) << "Page Down is the tick's";
    clock.advance(600ms);
    press(next, Qt::Key_Space); // the focused "Next step" itself
    EXPECT_EQ(fadeIns, 3);
    EXPECT_TRUE(window->isVisible());
    // The sliders never hold the focus, so the page keys cannot move them.
    for (int id : {showtime::kVolumeLeft, showtime::kVolumeRight})
        EXPECT_EQ(window->widget(id)->focusPolicy(), Qt::NoFocus);
}

} // namespace
