// The "Manual mode" window: its faders and first-step field, and the level strip.

#include "dialoglayout.h"
#include "fixtures/consolerig.h"
#include "support/qtapp.h"
#include "windows/manualmode.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

#include <memory>

using namespace orvane;
using namespace orvane::manualpanel;

namespace {

struct ManualModeWindow : ::testing::Test {
    test::ConsoleRig rig;
    ManualModeController mode{rig.session};
    std::unique_ptr<manualmode> window;

    void SetUp() override {
        testApp();
        mode.setFirstStep(10);
        mode.open();
        window = std::make_unique<manualmode>(nullptr, mode);
        window->show();
    }
    QImage strip() { return window->widget(kStrip)->grab().toImage(); }
    QRect cell(int i) {
        QRect inner = window->widget(kStrip)->contentsRect();
        int w = inner.width() / kPredefinedCount;
        return QRect(inner.left() + i * w, inner.top(), w, inner.height());
    }
    // Whether some pixel of the rectangle is close to the colour.
    static bool holds(const QImage& image, QRect r, QColor c) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                QColor p = image.pixelColor(x, y);
                if (std::abs(p.red() - c.red()) < 60 && std::abs(p.green() - c.green()) < 60 &&
                    std::abs(p.blue() - c.blue()) < 60)
                    return true;
            }
        return false;
    }
};

TEST_F(ManualModeWindow, TwentyFourFadersInOrderUnderTheStrip) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Manual mode"));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    window->reject(); // Escape
    EXPECT_TRUE(window->isVisible());
    auto* edit = qobject_cast<QLineEdit*>(window->widget(kFirstStep));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("10"));
    QLabel* caption = nullptr;
    for (QLabel* l : window->findChildren<QLabel*>())
        if (l->text() == QString("First step holding the settings"))
            caption = l;
    ASSERT_NE(caption, nullptr);
    EXPECT_LE(caption->geometry().right(), edit->geometry().left());

    const QRect stripRect = window->widget(kStrip)->geometry();
    int previousX = -1;
    for (int i = 0; i < kPredefinedCount; ++i) {
        auto* fader = qobject_cast<QSlider*>(window->widget(kFaders[size_t(i)]));
        ASSERT_NE(fader, nullptr) << i;
        EXPECT_EQ(fader->orientation(), Qt::Vertical);
        EXPECT_EQ(fader->maximum(), 255);
        EXPECT_EQ(fader->value(), 255); // level 0 at the bottom
        const QRect g = fader->geometry();
        EXPECT_GT(g.left(), previousX);
        previousX = g.left();
        // Under its own strip cell, with its number under it.
        const QRect c = cell(i).translated(stripRect.topLeft());
        EXPECT_TRUE(c.left() <= g.center().x() && g.center().x() <= c.right()) << i;
        EXPECT_GE(g.top(), stripRect.bottom());
        bool numbered = false;
        for (QLabel* l : window->findChildren<QLabel*>())
            numbered = numbered ||
                       (l->text() == QString::number(i + 1) && l->geometry().top() >= g.bottom() &&
                        std::abs(l->geometry().center().x() - g.center().x()) <= 2);
        EXPECT_TRUE(numbered) << i;
    }
    test::expectInside(manualModeControls(), kWindowWidth, kWindowHeight);
    test::expectNoOverlap(manualModeControls());
    EXPECT_LE(window->width(), 1900);
}

TEST_F(ManualModeWindow, StripShowsEachFadersLevelInGrey) {
    QImage all = strip();
    for (int i = 0; i < kPredefinedCount; ++i) {
        const QRect c = cell(i);
        EXPECT_EQ(all.pixelColor(c.topLeft() + QPoint(1, 1)), QColor(Qt::black)) << i;
        // The number in red above, the level in blue below.
        EXPECT_TRUE(holds(all, c.adjusted(0, 0, 0, -c.height() / 2), QColor(255, 0, 0))) << i;
        EXPECT_TRUE(holds(all, c.adjusted(0, c.height() / 2, 0, 0), QColor(30, 110, 255))) << i;
        EXPECT_FALSE(holds(all, c.adjusted(0, c.height() / 2, 0, 0), QColor(255, 0, 0))) << i;
    }
    window->controls().scroll(kFaders[4], 0);   // fader 5 at the top
    window->controls().scroll(kFaders[9], 127); // fader 10 half way
    window->OnTimer();
    EXPECT_EQ(mode.levels()[4], 255);
    EXPECT_EQ(mode.levels()[9], 128);
    QImage some = strip();
    EXPECT_EQ(some.pixelColor(cell(4).topLeft() + QPoint(1, 1)), QColor(255, 255, 255));
    EXPECT_EQ(some.pixelColor(cell(9).bottomRight() - QPoint(1, 1)), QColor(128, 128, 128));
    EXPECT_EQ(some.pixelColor(cell(5).topLeft() + QPoint(1, 1)), QColor(Qt::black));
}

TEST_F(ManualModeWindow, TheFirstStepFieldTakesDigitsOnly) {
    auto* edit = qobject_cast<QLineEdit*>(window->widget(kFirstStep));
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    edit->insert(QStringLiteral("4x2"));
    EXPECT_EQ(edit->text(), QStringLiteral("10"));
    edit->selectAll();
    edit->insert(QStringLiteral("42"));
    EXPECT_EQ(edit->text(), QStringLiteral("42"));
}

} // namespace
