// The scanner and moving-head windows: widgets on the controllers' models, the
// painted pad, the wheel, and a close command that closes nothing.

#include "console/inputstate.h"
#include "fixtures/fixturecontrols.h"
#include "fixtures/fixturerig.h"
#include "support/qtapp.h"
#include "windows/covscandlg.h"
#include "windows/fixturepad.h"
#include "windows/ovmovinghead.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <set>

using namespace orvane;

namespace {

struct FixtureWindows : ::testing::Test {
    ControlModel console;
    Console desk{console};
    InputState input;
    FixtureRig rig{desk, FixtureInputs{&input, {}}};

    void SetUp() override { testApp(); }
};

// Lets the window's timers run for a while.
void runEvents(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QColor at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

} // namespace

TEST_F(FixtureWindows, EveryControlOfTheModelHasItsWidgetInsideTheWindow) {
    struct Window {
        std::vector<ControlDef> table;
        QSize size;
    } windows[] = {{CovscanDlg::controlTable(), CovscanDlg::clientSize()},
                   {ovmovinghead::controlTable(), ovmovinghead::clientSize()}};
    for (const Window& w : windows) {
        std::set<int> ids;
        for (const ControlDef& c : w.table) {
            EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
            EXPECT_TRUE(QRect(QPoint(0, 0), w.size).contains(QRect(c.x, c.y, c.w, c.h))) << c.id;
        }
    }
    EXPECT_EQ(CovscanDlg::controlTable().size(), scanner::controls().size());
    EXPECT_EQ(ovmovinghead::controlTable().size(), head::controls().size());
}

TEST_F(FixtureWindows, ScannerWindowShowsItsModelsRowsAndTakesTheOperatorsMoves) {
    ScannerController& four = rig.createScanner(2);
    CovscanDlg window(four);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Scanner 2"));
    window.show();
    EXPECT_FALSE(window.widget(1029)->isVisible()) << "four-channel scanner";
    EXPECT_TRUE(window.widget(1299)->isVisible());
    EXPECT_TRUE(static_cast<QLineEdit*>(window.widget(1299))->isReadOnly());
    EXPECT_EQ(window.pad()->contentsRect().size(), QSize(kPadWidth, kPadHeight));
    static_cast<QSlider*>(window.widget(1025))->setValue(99);
    EXPECT_EQ(four.controls().pos(1025), 99);
    // The window's 20 ms timer takes it into the block.
    runEvents(80);
    EXPECT_EQ(four.block().channel[0], 99);
    EXPECT_EQ(four.controls().text(1124), "99");
}

TEST_F(FixtureWindows, WheelOverTheWindowAndCloseThatClosesNothing) {
    MovingHeadController& h = rig.createHead(3);
    ovmovinghead window(h);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Moving head 3"));
    window.show();
    QWheelEvent wheel(QPointF(5, 5), window.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 240),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&window, &wheel);
    EXPECT_EQ(h.controls().pos(1029), 24) << "the dimmer of a fourteen-channel head";
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(FixtureWindows, PadShowsTheRoomTheSpotAndItsCentre) {
    ScannerController& s = rig.createScanner(1);
    ScannerBlock b;
    b.channel[4] = 15; // red preview
    b.channel[6] = 60; // radius 13
    b.padX = 100;
    b.padY = 50;
    s.setBlock(b);
    CovscanDlg window(s);
    QImage pad = window.renderPad();
    ASSERT_EQ(pad.size(), QSize(kPadWidth, kPadHeight));
    EXPECT_EQ(at(pad, 100, 50), QColor(Qt::white));
    EXPECT_EQ(at(pad, 110, 50), QColor(255, 0, 0));
    EXPECT_EQ(at(pad, 100, 38), QColor(255, 0, 0));
    EXPECT_EQ(at(pad, 300, 150), scannerRoomPicture().pixelColor(300, 150));
    // A point far off the pad draws nothing on it and breaks nothing.
    b.padX = -2000000000;
    s.setBlock(b);
    EXPECT_EQ(window.renderPad(), scannerRoomPicture());
}

TEST_F(FixtureWindows, HeadPadInScreenZoneModeIsCoveredInLightGrey) {
    MovingHeadController& h = rig.createHead(2);
    ovmovinghead window(h);
    QImage pad = window.renderPad();
    EXPECT_EQ(at(pad, 300, 150), QColor(211, 211, 211));
    EXPECT_EQ(at(pad, 0, 100), QColor(Qt::black)) << "the outline";
    h.controls().click(head::kScreenZone);
    pad = window.renderPad();
    EXPECT_EQ(at(pad, 300, 150), headRoomPlan().pixelColor(300, 150));
    EXPECT_NE(scannerRoomPicture(), headRoomPlan());
}

TEST_F(FixtureWindows, TheControllerOutlivesItsWindow) {
    MovingHeadController& h = rig.createHead(4);
    {
        ovmovinghead window(h);
        window.showMinimized();
    }
    h.tick(fixture::kTimerSlow);
    h.controls().setPos(1029, 5);
    h.tick(fixture::kTimerFast);
    HeadBlock b;
    h.readOut(b);
    EXPECT_EQ(b.channel[6], 5);
}
