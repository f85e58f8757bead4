// The timeline window: placement, its bars driven as the operator drives them,
// the rows it paints, the cached pictures after an edit, and the double-click.

#include "panels/timelinetable.h"
#include "support/qtapp.h"
#include "windows/stagepreview.h"
#include "windows/timeline.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace orvane;
using namespace orvane::timelinewindow;

namespace {

const QRgb kBackground = qRgb(192, 255, 255);

struct TimelineWindowFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    ComposerOptions options;
    std::vector<int> jumps;
    std::unique_ptr<timeline> window;

    void SetUp() override {
        testApp();
        window = std::make_unique<timeline>(nullptr, store, &options,
                                            [this](int step) { jumps.push_back(step); });
    }

    void saveStep(int step, int floor, const char* name = "") {
        StepRecord r;
        r.master = 255;
        r.fader[0] = floor; // channel 1: the floor band of the picture
        r.name = name;
        store.SaveStep(step, r);
    }
    QImage paint(QSize size = QSize(200, 600)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter p(&image);
        window->paintRows(p, size);
        return image;
    }
    QScrollBar* bar(int id) { return qobject_cast<QScrollBar*>(window->widget(id)); }
    bool anyPixel(const QImage& image, QRect r, QRgb colour) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (image.pixel(x, y) == colour)
                    return true;
        return false;
    }
};

TEST_F(TimelineWindowFixture, OpensInsideTheScreenWithItsBarsAlongTheEdges) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Timeline"));
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->pos(), room.topLeft() + QPoint(10, 10));
    EXPECT_TRUE(room.contains(window->geometry())) << window->width() << "x" << window->height();
    // Made smaller to fit, its proportions kept.
    EXPECT_NEAR(double(window->width()) / window->height(), double(kOpenWidth) / kOpenHeight, 0.01);
    window->show();
    window->resize(300, 500);
    EXPECT_EQ(window->widget(kScroll)->geometry(), QRect(0, 0, 16, 484));
    EXPECT_EQ(window->widget(kZoom)->geometry(), QRect(16, 484, 284, 16));
    EXPECT_EQ(bar(kScroll)->orientation(), Qt::Vertical);
    EXPECT_EQ(bar(kScroll)->maximum(), 500);
    EXPECT_EQ(bar(kZoom)->minimum(), 3);
}

TEST_F(TimelineWindowFixture, BarsActAsTheirTablesSay) {
    window->state().open(20);
    bar(kScroll)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(window->state().firstVisible(), 20);
    bar(kZoom)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(window->state().span(), 14);
    EXPECT_EQ(bar(kZoom)->value(), 14);
    // A page step of the zoom bar does nothing, and the bar stays with the view.
    bar(kZoom)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(window->state().span(), 14);
    EXPECT_EQ(bar(kZoom)->value(), 14);
    EXPECT_EQ(window->state().controls().pos(kZoom), 14);
    bar(kScroll)->setSliderDown(true);
    bar(kScroll)->setSliderPosition(257); // thumb track
    bar(kScroll)->setSliderDown(false);
    EXPECT_EQ(window->state().firstVisible(), 257 * 500 / 514);
}

TEST_F(TimelineWindowFixture, PaintsRowsWithNumberPictureAndEmptySteps) {
    saveStep(3, 200, "Wash");
    saveStep(4, 90, "Dim");
    window->state().open(4); // 3 .. 18, step 4 current
    QImage image = paint();
    EXPECT_EQ(image.pixel(100, 599), kBackground);
    // Rows are 40 pixels; the picture is 80 x 40 at the right edge.
    const QRect picture3(120, 0, 80, 40), picture4(120, 40, 80, 40);
    QImage expected3 = renderStage(window->previews().get(3).frame, QSize(80, 40));
    EXPECT_EQ(image.copy(picture3), expected3);
    EXPECT_EQ(image.pixel(picture4.left() + 10, picture4.bottom() - 1), qRgb(90, 90, 90))
        << "step 4's floor";
    // The current step's number is red; the others grey.
    EXPECT_TRUE(anyPixel(image, QRect(18, 40, 40, 38), qRgb(255, 0, 0)));
    EXPECT_FALSE(anyPixel(image, QRect(18, 0, 40, 38), qRgb(255, 0, 0)));
    // Step 5 has no entries: no picture where it would be.
    EXPECT_EQ(image.pixel(160, 100), kBackground);
    // Empty steps show no picture at all, not a dark one.
    for (int row = 2; row < 14; ++row)
        EXPECT_EQ(image.pixel(160, row * 40 + 20), kBackground) << row;
}

// At the size it opens with on a 1080-line screen, the window shows the rows
// of the view it opens on (9 .. 24) with names at least 12 pixels high.
TEST_F(TimelineWindowFixture, AtItsOpeningSizeEveryRowHasAReadableName) {
    window->state().open(10);
    const TimelineLayout l = window->state().layout(kOpenHeight - kBarWidth);
    EXPECT_EQ(l.rows.size(), size_t(window->state().span() - 1));
    EXPECT_EQ(l.rows.front().step, 9);
    EXPECT_GE(l.textPixels, 12);
    EXPECT_GT(l.numberPixels, l.textPixels);
}

// The sound column (dark grey) only for a step that plays at its start, the
// fade time column (green) only for a step that fades in by itself.
TEST_F(TimelineWindowFixture, SoundAndFadeLinesFollowTheStepsFlags) {
    struct Case {
        int step;
        bool autoFade, playAtBegin;
    } cases[] = {{3, true, false}, {4, false, true}, {5, true, true}, {6, false, false}};
    for (const Case& c : cases) {
        StepRecord r;
        r.name = "Row";
        r.autofade = c.autoFade;
        r.fadet = 12.5;
        r.playatbegin = c.playAtBegin;
        r.soundnameatbegin = "thunder.wav";
        store.SaveStep(c.step, r);
    }
    window->state().open(10); // 9 .. 24: none of the rows is the current one
    window->state().setVisibleSteps(3, 18);
    // 1500 high: rows of 100 pixels; name, sound and fade in columns before
    // the picture, each visible.
    const QSize size(800, 1500);
    QImage image = paint(size);
    const TimelineColumns col = timeline::columns(size.width(), window->state().layout(1500));
    EXPECT_GT(col.soundWidth, 80);
    EXPECT_GT(col.fadeWidth, 40);
    EXPECT_LE(col.fadeLeft + col.fadeWidth, col.pictureLeft);
    for (const Case& c : cases) {
        const int top = (c.step - 3) * 100;
        EXPECT_EQ(anyPixel(image, QRect(col.fadeLeft, top + 1, col.fadeWidth, 98), qRgb(0, 128, 0)),
                  c.autoFade)
            << c.step;
        EXPECT_EQ(
            anyPixel(image, QRect(col.soundLeft, top + 1, col.soundWidth, 98), qRgb(64, 64, 64)),
            c.playAtBegin)
            << c.step;
    }
}

TEST_F(TimelineWindowFixture, ACachedPictureFollowsAnEditOfItsStep) {
    saveStep(3, 200);
    window->state().open(4);
    EXPECT_EQ(paint().pixel(130, 38), qRgb(200, 200, 200));
    uint64_t loads = window->previews().loads();
    paint();
    EXPECT_EQ(window->previews().loads(), loads) << "nothing changed, nothing composed";
    saveStep(3, 60);
    EXPECT_EQ(paint().pixel(130, 38), qRgb(60, 60, 60));
    EXPECT_EQ(window->previews().loads(), loads + 1);
}

TEST_F(TimelineWindowFixture, DoubleClickInARowJumpsToItsStep) {
    window->state().open(30); // 29 .. 44
    window->resize(200, 600);
    for (int step : {29, 33, 42}) {
        QPointF at(100, (step - 29) * 40 + 20);
        QMouseEvent e(QEvent::MouseButtonDblClick, at, window->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &e);
    }
    EXPECT_EQ(jumps, (std::vector<int>{29, 33, 42}));
}

} // namespace
