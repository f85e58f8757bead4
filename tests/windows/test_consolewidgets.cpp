#include "console/consoletable.h"
#include "support/qtapp.h"
#include "windows/dialogbuilder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QFontMetrics>
#include <QLabel>
#include <QRect>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

using namespace orvane;

namespace {

const ControlDef* find(int id) {
    for (const ControlDef& c : consoleControls())
        if (c.id == id)
            return &c;
    return nullptr;
}

std::string where(const ControlDef& c) {
    return std::to_string(c.id) + " \"" + c.caption + "\"";
}

class ConsoleWidgets : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(kConsoleWidth, kConsoleHeight);
        populateConsole(model);
        widgets =
            buildDialog(&window, consoleControls(), model, {{1003, &sounds}, {1340, &effects}});
        window.show();
    }
    void TearDown() override { unbindDialog(&window); }

    QApplication& app = testApp(); // before any widget
    QWidget window;
    ControlModel model;
    ListModel sounds, effects;
    std::map<int, QWidget*> widgets;
};

TEST_F(ConsoleWidgets, EveryControlHasItsWidgetAndHiddenOnesStayHidden) {
    for (const ControlDef& c : consoleControls()) {
        if (c.id == kNoId)
            continue;
        ASSERT_TRUE(widgets.count(c.id)) << c.id;
        EXPECT_EQ(widgets[c.id]->isVisible(), !c.has(kHidden)) << c.id;
    }
}

int widestLine(const QFont& font, const char* caption) {
    int widest = 0;
    for (const QString& line : QString::fromUtf8(caption).split('\n'))
        widest = std::max(widest, QFontMetrics(font).horizontalAdvance(line));
    return widest;
}

// Captions must be readable in full with the window's font.
TEST_F(ConsoleWidgets, CaptionsFitTheirControls) {
    for (const ControlDef& c : consoleControls()) {
        if (c.caption[0] == '\0')
            continue;
        QWidget* w = c.id == kNoId ? nullptr : widgets[c.id];
        bool button =
            c.kind == ControlKind::Button || (c.kind == ControlKind::CheckBox && c.has(kPushLike));
        if (button) {
            EXPECT_LE(widestLine(w->font(), c.caption) + 8, c.w) << where(c);
        } else if (c.kind == ControlKind::CheckBox) {
            EXPECT_LE(w->sizeHint().width(), c.w) << where(c);
        } else if (c.kind == ControlKind::Label && c.has(kMultiline)) {
            QLabel probe(QString::fromUtf8(c.caption));
            probe.setWordWrap(true);
            EXPECT_LE(probe.heightForWidth(c.w), c.h + 2) << where(c);
        } else if (c.kind == ControlKind::Label) {
            EXPECT_LE(widestLine(window.font(), c.caption), c.w) << where(c);
            EXPECT_LE(QFontMetrics(window.font()).height(), c.h + 2) << where(c);
        }
    }
}

TEST_F(ConsoleWidgets, ConsoleControlsExplainThemselvesInToolTips) {
    setToolTips(widgets, consoleToolTips());
    // The hot key, "Validate HK", the switches and the windows' buttons.
    const int explained[] = {4081, 4079, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019,
                             1044, 1288, 1291, 1293, 1294, 1296, 1308, 1285, 1357, 1123,
                             1275, 1310, 1355, 1279, 1333, 4085, 4082, 1295, 1000, 1001};
    for (int id : explained)
        EXPECT_FALSE(widgets.at(id)->toolTip().isEmpty()) << id;
    for (const ControlTip& t : consoleToolTips())
        EXPECT_NE(find(t.id), nullptr) << "tool tip for a missing control " << t.id;
}

TEST_F(ConsoleWidgets, OperatorFaderMoveReachesTheModel) {
    auto* fader = qobject_cast<QAbstractSlider*>(widgets.at(1025));
    ASSERT_NE(fader, nullptr);
    int scrolled = 0;
    model.on(ControlEvent::Scrolled, 1025, [&] { ++scrolled; });
    fader->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_GT(model.pos(1025), 0);
    EXPECT_LE(model.pos(1025), 255);
    EXPECT_EQ(scrolled, 1);
}

} // namespace
