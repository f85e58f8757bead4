// Fixed layouts that follow their window: rectangles and fonts at a scale,
// the size a window opens at, owner-drawn areas kept in design units, and the
// two themes.

#include "console/controldef.h"
#include "console/controlmodel.h"
#include "support/qtapp.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"
#include "windows/pressflash.h"
#include "windows/theme.h"
#include "windows/windowmemory.h"

#include <QFontInfo>
#include <QPainter>
#include <QProgressBar>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>

using namespace orvane;

namespace {

TEST(DialogScaleMath, RectanglesStayNeighboursAndFontsStayReadable) {
    // Two boxes side by side at 0.6 still touch: edges are rounded, not sizes.
    const ScaleFactors f{0.6, 0.6};
    const QRect a = scaledRect(QRect(0, 0, 33, 10), f), b = scaledRect(QRect(33, 0, 33, 10), f);
    EXPECT_EQ(a.right() + 1, b.left());
    EXPECT_EQ(scaledRect(QRect(10, 10, 1, 1), {0.1, 0.1}).size(), QSize(1, 1)) << "never empty";
    struct Row {
        double points, factor, shown;
        int stretch;
    } rows[] = {
        {12, 1.0, 12, QFont::Unstretched}, {12, 0.5, 8, 75},
        {20, 0.5, 10, QFont::Unstretched}, {8, 0.6, 8, kNarrowestStretch},
        {10, 0.8, 8, QFont::Unstretched},
    };
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(scaledPoints(r.points, r.factor), r.shown) << r.points << " " << r.factor;
        EXPECT_EQ(scaledStretch(r.points, r.factor), r.stretch) << r.points << " " << r.factor;
    }
}

TEST(DialogScaleMath, OpeningSizesFitTheRoomDownToTheFloor) {
    const QSize design(1900, 1024);
    struct Row {
        const char* what;
        std::optional<WindowPlacement> remembered;
        QSize room, opens;
    } rows[] = {
        {"a large screen: the design size", std::nullopt, QSize(2552, 1400), design},
        {"a laptop: smaller, same proportions", std::nullopt, QSize(1358, 728), QSize(1350, 728)},
        {"a tiny screen: the floor", std::nullopt, QSize(600, 400), QSize(1140, 614)},
        {"remembered", WindowPlacement{QSize(1500, 900), false}, QSize(2552, 1400),
         QSize(1500, 900)},
        {"remembered on a smaller screen: cut to it", WindowPlacement{QSize(1800, 1000), true},
         QSize(1358, 728), QSize(1358, 728)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(openingSize(r.remembered, design, r.room, 0.6), r.opens) << r.what;
}

// The application exists before the fixture's widgets.
struct WithApp {
    WithApp() { testApp(); }
};

struct ScaledWidget : ::testing::Test, WithApp {
    ControlModel model;
    QWidget host;
    std::map<int, QWidget*> widgets;
    static constexpr ControlDef kTable[] = {
        {1, ControlKind::Button, "Go", 10, 10, 100, 40, 0},
        {2, ControlKind::Custom, "", 200, 100, 202, 102, 0},
    };

    void SetUp() override {
        widgets = buildDialog(&host, kTable, model);
        new DialogScale(&host, QSize(400, 300));
        host.resize(400, 300);
    }
};

TEST_F(ScaledWidget, ControlsAndFontsFollowTheHostBothWays) {
    host.show();
    const double designPoints = QFontInfo(widgets[1]->font()).pointSizeF();
    host.resize(800, 150);
    EXPECT_EQ(widgets[1]->geometry(), QRect(20, 5, 200, 20));
    EXPECT_DOUBLE_EQ(DialogScale::of(&host)->factors().font(), 0.5);
    EXPECT_GE(widgets[1]->font().pointSizeF(), kMinimumPoints);
    host.resize(400, 300);
    EXPECT_EQ(widgets[1]->geometry(), QRect(10, 10, 100, 40));
    EXPECT_NEAR(QFontInfo(widgets[1]->font()).pointSizeF(), designPoints, 0.5);
}

// A paint hook and a tool tip hook see the area in design units at any scale.
TEST_F(ScaledWidget, AnOwnerDrawnAreaPaintsAndPointsInDesignUnits) {
    QWidget* area = widgets[2];
    QRect painted;
    setPaintHook(area, [&](QPainter& p, QRect r) {
        painted = r;
        p.fillRect(QRect(r.left(), r.top(), r.width() / 2, r.height()), Qt::red);
    });
    host.resize(800, 600);
    host.show();
    const QSize client = designClientSize(area);
    EXPECT_LT(client.width(), area->width() / 2) << "design units, not the area's pixels";
    QImage image = area->grab().toImage();
    EXPECT_EQ(painted.size(), client);
    const QRect inner = area->contentsRect();
    EXPECT_EQ(image.pixelColor(inner.left() + inner.width() / 4, inner.center().y()),
              QColor(Qt::red));
    EXPECT_NE(image.pixelColor(inner.left() + inner.width() * 3 / 4, inner.center().y()),
              QColor(Qt::red))
        << "the left half only, at twice the size";
    EXPECT_EQ(designPoint(area, inner.topLeft() + QPoint(inner.width() / 2, inner.height() / 2)),
              QPoint(client.width() / 2, client.height() / 2));
}

TEST(Themes, NamesAndTheSettingsMessage) {
    testApp();
    struct Row {
        const char* setting;
        const char* applied;
        bool problem;
    } rows[] = {{"", "classic", false},
                {"classic", "classic", false},
                {" Stage ", "stage", false},
                {"dark", "classic", true},
                {"stage2", "classic", true}};
    for (const Row& r : rows) {
        std::optional<std::string> problem = applyThemeSetting(r.setting);
        EXPECT_STREQ(theme().name(), r.applied) << r.setting;
        EXPECT_EQ(problem.has_value(), r.problem) << r.setting;
        if (problem) {
            EXPECT_NE(problem->find(r.setting), std::string::npos) << *problem;
        }
    }
    applyTheme(Theme::classic());
}

// On the stage theme every widget takes dark grounds and light text; what the
// light shows keeps its colour; a dark log colour is lightened, its hue kept.
TEST(Themes, StageIsDarkEverywhereAndKeepsTheLightsColours) {
    testApp();
    applyTheme(Theme::stage());
    QWidget fresh;
    EXPECT_LT(fresh.palette().color(QPalette::Window).lightness(), 60);
    EXPECT_LT(fresh.palette().color(QPalette::Base).lightness(), 60);
    EXPECT_GT(fresh.palette().color(QPalette::Text).lightness(), 150);
    EXPECT_LT(theme().colours().console.lightness(), 60);
    const QColor darkBlue(0, 0, 128);
    const QColor shown = theme().readable(darkBlue);
    EXPECT_GE(shown.lightness(), 150);
    EXPECT_EQ(shown.hslHue(), darkBlue.hslHue());
    EXPECT_EQ(theme().readable(QColor(255, 200, 100)), QColor(255, 200, 100));
    applyTheme(Theme::classic());
    EXPECT_EQ(Theme::classic().colours().console, QColor(0, 196, 255)) << "classic unchanged";
    EXPECT_EQ(theme().readable(darkBlue), darkBlue);
}

TEST(PressFlashing, BlinksThenLooksAsBefore) {
    testApp();
    QProgressBar bar;
    const QPalette before = bar.palette();
    PressFlash flash(&bar);
    flash.flash();
    EXPECT_TRUE(flash.lit());
    EXPECT_EQ(bar.palette().color(QPalette::Highlight), theme().colours().flash);
    flash.flash(); // again during the flash: starts over, keeps the true colours
    EXPECT_EQ(flash.flashes(), 2);
    for (int i = 0; i < 1000 && flash.flashing(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    EXPECT_FALSE(flash.flashing());
    EXPECT_EQ(bar.palette(), before);
}

} // namespace
