// The "Global Color" window: its controls, its painted pads, picking with the
// mouse and its timer, which keeps running while the window is hidden.

#include "dialoglayout.h"
#include "fixtures/consolerig.h"
#include "support/manualclock.h"
#include "support/qtapp.h"
#include "windows/globalcolor.h"
#include "windows/sharedtick.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>

#include <gtest/gtest.h>

#include <memory>

using namespace orvane;
using namespace orvane::globalcolour;

namespace {

struct GlobalColorWindow : ::testing::Test {
    test::ConsoleRig rig;
    test::ManualClock clock{5000ms};
    std::array<bool, kZoneCount> keys{};
    std::unique_ptr<GlobalColor> window;

    void SetUp() override {
        testApp();
        GlobalColor::Hooks hooks;
        hooks.clock = &clock;
        hooks.keypadHeld = [this](int zone) { return keys[size_t(zone)]; };
        window = std::make_unique<GlobalColor>(nullptr, rig.console(), hooks);
        window->show();
    }
    QWidget* pad(int zone) { return window->widget(kZones[size_t(zone)].pad); }
    // A point of a pad's client area, in the pad widget's coordinates.
    QPoint inPad(int zone, PadPoint p) {
        return pad(zone)->contentsRect().topLeft() + QPoint(p.x, p.y);
    }
    void mouse(QEvent::Type type, int zone, QPoint local, QWidget* receiver = nullptr) {
        QWidget* target = receiver ? receiver : pad(zone);
        QPoint global = pad(zone)->mapToGlobal(local);
        Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, target->mapFromGlobal(global), global,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
    void tick() {
        clock.advance(Milliseconds{kTickMs});
        window->OnTimer();
    }
    QColor padPixel(int zone, PadPoint p) {
        return pad(zone)->grab().toImage().pixelColor(inPad(zone, p));
    }
};

TEST_F(GlobalColorWindow, ThreeZonesOfPadSlidersAndBoxesWithoutACloseBox) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Global Color"));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    window->reject(); // Escape
    EXPECT_TRUE(window->isVisible());
    ControlModel& m = window->controls();
    for (int k = 0; k < kZoneCount; ++k) {
        const ZoneControls& z = kZones[size_t(k)];
        ASSERT_NE(pad(k), nullptr);
        EXPECT_EQ(pad(k)->contentsRect().size(), QSize(220, 200));
        for (auto [id, max] : {std::pair{z.level, 65535}, std::pair{z.fade, 10000}}) {
            auto* slider = qobject_cast<QSlider*>(window->widget(id));
            ASSERT_NE(slider, nullptr) << id;
            EXPECT_EQ(slider->orientation(), Qt::Vertical);
            EXPECT_EQ(m.state(id).max, max);
            EXPECT_EQ(slider->maximum(), max);
        }
        for (int b = 0; b < kGroupCount; ++b) {
            auto* box = qobject_cast<QCheckBox*>(window->widget(z.groups[size_t(b)]));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), QString::number(b + 1));
            EXPECT_EQ(box->isChecked(), k == 0);
        }
    }
    // "Instant" stands over each fade slider's top, where position 0 is.
    int instant = 0;
    for (const ControlDef& c : globalColourControls()) {
        if (c.caption != std::string_view("Instant"))
            continue;
        const QRect fade = window->widget(kZones[size_t(instant)].fade)->geometry();
        EXPECT_LE(c.y + c.h, fade.top());
        EXPECT_TRUE(c.x <= fade.center().x() && fade.center().x() <= c.x + c.w);
        ++instant;
    }
    EXPECT_EQ(instant, 3);
    test::expectInside(globalColourControls(), window->width(), window->height());
    test::expectNoOverlap(globalColourControls());
    // Readable on a 1920 x 1080 screen, with room to spare beside the console.
    EXPECT_LE(window->height(), 900);
}

TEST_F(GlobalColorWindow, PadsShowTheFieldAndTheZonesPoint) {
    const ColourField& field = window->controller().field();
    for (PadPoint p : {PadPoint{110, 0}, PadPoint{70, 20}, PadPoint{219, 199}, PadPoint{0, 0},
                       PadPoint{55, 110}, PadPoint{160, 60}}) {
        const Rgb want = field.at(p);
        EXPECT_EQ(padPixel(1, p), QColor(want.r, want.g, want.b)) << p.x << "," << p.y;
    }
    // The point: a white disc with a dark rim, at the centre until a pick.
    EXPECT_EQ(padPixel(1, {110, 100}), QColor(Qt::white));
    EXPECT_LT(padPixel(1, {110, 95}).lightness(), 128);
    EXPECT_LT(padPixel(1, {115, 100}).lightness(), 128);
}

TEST_F(GlobalColorWindow, AClickAtTheTopCentrePicksRed) {
    mouse(QEvent::MouseButtonPress, 0, inPad(0, {110, 0}));
    tick();
    mouse(QEvent::MouseButtonRelease, 0, inPad(0, {110, 0}));
    tick();
    EXPECT_EQ(rig.colour(1), makeColour(255, 0, 0));
    EXPECT_EQ(rig.level(17), 255);
    EXPECT_EQ(window->controller().zone(0).point, (PadPoint{110, 0}));
    EXPECT_EQ(padPixel(0, {110, 2}), QColor(Qt::white)); // the point moved there
}

TEST_F(GlobalColorWindow, AClickShorterThanATickStillPicks) {
    mouse(QEvent::MouseButtonPress, 0, inPad(0, {219, 199}));
    mouse(QEvent::MouseButtonRelease, 0, inPad(0, {219, 199}));
    tick();
    tick();
    EXPECT_EQ(rig.colour(1), makeColour(0, 0, 255));
    tick();
    EXPECT_EQ(window->controller().zone(0).point, (PadPoint{219, 199})); // no further pick
}

// With the ticks resting, a press wakes them on their grids: the 20 ms tick
// comes first, and once it has run everything may rest again. The window's
// tick must still come round for a click that is already over.
TEST_F(GlobalColorWindow, AClickShorterThanATickIsAppliedWhenTheTicksRest) {
    QObject owner;
    SharedTick fast;
    fast.start(20, &owner, [] {});
    fast.restWhen([] { return true; });
    QElapsedTimer waited;
    waited.start();
    while (!SharedTick::resting() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(SharedTick::resting());
    mouse(QEvent::MouseButtonPress, 0, inPad(0, {219, 199}));
    mouse(QEvent::MouseButtonRelease, 0, inPad(0, {219, 199}));
    waited.restart();
    while (rig.colour(1) != makeColour(0, 0, 255) && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(rig.colour(1), makeColour(0, 0, 255));
}

TEST_F(GlobalColorWindow, ADragPicksInThePadUnderTheCursor) {
    // Pressed in zone 1's pad, dragged down into zone 2's: the first pad keeps
    // the mouse, the second one picks.
    mouse(QEvent::MouseButtonPress, 0, inPad(0, {50, 50}));
    mouse(QEvent::MouseMove, 1, inPad(1, {70, 20}), pad(0));
    tick();
    EXPECT_FALSE(window->controller().zone(0).picked);
    EXPECT_EQ(window->controller().zone(1).point, (PadPoint{70, 20}));
    mouse(QEvent::MouseButtonRelease, 1, inPad(1, {70, 20}), pad(0));
    mouse(QEvent::MouseMove, 1, inPad(1, {100, 100}), pad(0));
    tick();
    EXPECT_EQ(window->controller().zone(1).point, (PadPoint{70, 20}));
}

TEST_F(GlobalColorWindow, HiddenItStillReappliesAZoneWhileItsKeyIsHeld) {
    mouse(QEvent::MouseButtonPress, 0, inPad(0, {110, 0}));
    mouse(QEvent::MouseButtonRelease, 0, inPad(0, {110, 0}));
    tick();
    tick();
    window->hide();
    rig.controls.setColour(2038, makeColour(0, 0, 9));
    keys[0] = true;
    // The window's own timer, not a tick by hand.
    QElapsedTimer waited;
    waited.start();
    while (rig.colour(1) != makeColour(255, 0, 0) && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(rig.colour(1), makeColour(255, 0, 0));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(GlobalColorWindow, TheFieldIsPaintedOncePerPadSize) {
    const qint64 first = window->fieldImage(QSize(220, 200)).cacheKey();
    EXPECT_EQ(window->fieldImage(QSize(220, 200)).cacheKey(), first);
    pad(2)->repaint();
    EXPECT_EQ(window->fieldImage(QSize(220, 200)).cacheKey(), first);
    const QImage& small = window->fieldImage(QSize(100, 80));
    EXPECT_EQ(small.size(), QSize(100, 80));
    EXPECT_EQ(window->controller().field().width(), 100); // picking follows the new size
    const Rgb corner = window->controller().field().at({0, 80});
    EXPECT_EQ(small.pixelColor(0, 79).green(), window->controller().field().at({0, 79}).g);
    EXPECT_EQ(corner.g, 255);
}

} // namespace
