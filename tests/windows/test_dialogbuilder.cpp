#include "support/qtapp.h"
#include "windows/dialogbuilder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace orvane;

namespace {

// clang-format off
constexpr ControlDef kSpecs[] = {
    {kNoId, ControlKind::GroupBox,     "Frame", 0,   0, 400, 300, 0},
    {10,    ControlKind::Slider,       "",     10,  20,  30, 200, kVertical | kInverted},
    {11,    ControlKind::Slider,       "",     50,  20, 200,  22, 0},
    {20,    ControlKind::CheckBox,     "Box",  50,  50, 100,  22, 0},
    {21,    ControlKind::CheckBox,     "Pause", 50, 80, 100,  26, kPushLike},
    {22,    ControlKind::Button,       "Go",   50, 110, 100,  26, 0},
    {30,    ControlKind::Edit,         "",    160,  50, 100,  22, 0},
    {31,    ControlKind::MultiLineEdit,"",    160,  80, 200,  60, kMultiline},
    {32,    ControlKind::HotKey,       "",    160, 150, 150,  24, 0},
    {33,    ControlKind::Spin,         "",    270,  50,  20,  40, 0},
    {40,    ControlKind::List,         "",    420,   0, 200, 150, 0},
    {41,    ControlKind::ComboBox,     "",    420, 160, 200,  26, 0},
    {50,    ControlKind::Swatch,       "",    420, 200,  30,  30, kOwnerDrawn},
    {51,    ControlKind::ColourButton, "",    460, 200,  40,  30, kOwnerDrawn},
    {52,    ControlKind::Custom,       "",    510, 200,  60,  40, kOwnerDrawn},
    {53,    ControlKind::RichLog,      "",    420, 250, 200,  80, kReadOnly},
    {60,    ControlKind::Label,        "Status", 50, 250, 100, 20, 0},
    {61,    ControlKind::Progress,     "",     50, 280, 100,  12, 0},
    {62,    ControlKind::Button,       "Later", 50, 300, 100, 26, kHidden},
};
// clang-format on

constexpr ControlEvent kEvents[] = {ControlEvent::Clicked,          ControlEvent::TextChanged,
                                    ControlEvent::Scrolled,         ControlEvent::DoubleClicked,
                                    ControlEvent::SelectionChanged, ControlEvent::Released};

class DialogBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        parent = std::make_unique<QWidget>();
        parent->resize(640, 340);
        declareControls(model, kSpecs);
        for (const ControlDef& c : kSpecs)
            if (c.id != kNoId)
                for (ControlEvent e : kEvents)
                    model.on(e, c.id, [this, e, id = c.id] { ++events[{e, id}]; });
        widgets = buildDialog(parent.get(), kSpecs, model, {{40, &list}, {41, &combo}});
    }

    int count(ControlEvent e, int id) { return events[{e, id}]; }
    template <class W> W* w(int id) { return qobject_cast<W*>(widgets.at(id)); }

    // The colour in the middle of a widget as it paints itself.
    QColor centre(int id) {
        QWidget* x = widgets.at(id);
        QImage img = x->grab().toImage();
        return img.pixelColor(img.width() / 2, img.height() / 2);
    }

    void key(QWidget* target, int k, Qt::KeyboardModifiers mods = {}, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QApplication::sendEvent(target, &release);
    }
    void type(QWidget* target, const QString& text) {
        for (QChar ch : text)
            key(target, ch.toUpper().unicode(), {}, QString(ch));
    }

    ControlModel model;
    ListModel list;
    ListModel combo;
    std::unique_ptr<QWidget> parent;
    std::map<int, QWidget*> widgets;
    std::map<std::pair<ControlEvent, int>, int> events;
};

// A left click on a slider's groove at y, as the operator makes it.
void clickAt(QWidget* w, int y) {
    QPoint at(w->width() / 2, y);
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(w, &e);
    }
}

TEST_F(DialogBuilderTest, OperatorSliderMovesScrollOnceAndReleaseWhenLetGo) {
    model.setRange(11, 0, 255);
    QSlider* s = w<QSlider>(11);
    s->triggerAction(QAbstractSlider::SliderSingleStepAdd); // a key or wheel step
    EXPECT_EQ(model.pos(11), 1);
    EXPECT_EQ(count(ControlEvent::Scrolled, 11), 1);
    EXPECT_EQ(count(ControlEvent::Released, 11), 1);

    s->setSliderDown(true); // a drag: moves without release until the button is up
    s->setSliderPosition(40);
    s->setSliderPosition(90);
    EXPECT_EQ(model.pos(11), 90);
    EXPECT_EQ(count(ControlEvent::Scrolled, 11), 3);
    EXPECT_EQ(count(ControlEvent::Released, 11), 1);
    s->setSliderDown(false);
    EXPECT_EQ(count(ControlEvent::Released, 11), 2);
}

TEST_F(DialogBuilderTest, PositionAndRangeFromCodeReachTheSliderSilently) {
    model.setRange(10, 0, 255);
    model.setPos(10, 77);
    QSlider* s = w<QSlider>(10);
    EXPECT_EQ(s->maximum(), 255);
    EXPECT_EQ(s->value(), 77);
    model.setRange(10, 0, 50); // the model clamps, the slider follows
    EXPECT_EQ(s->value(), 50);
    EXPECT_EQ(count(ControlEvent::Scrolled, 10), 0);

    model.setRange(61, 0, 100);
    model.setPos(61, 40);
    EXPECT_EQ(w<QProgressBar>(61)->value(), 40);
}

TEST_F(DialogBuilderTest, VerticalSliderHasPositionZeroAtTheTop) {
    model.setRange(10, 0, 255);
    model.setPos(10, 128);
    QSlider* s = w<QSlider>(10);
    clickAt(s, 2); // clicking above the handle moves it up, towards 0
    EXPECT_LT(model.pos(10), 128);
    model.setPos(10, 128);
    clickAt(s, s->height() - 3);
    EXPECT_GT(model.pos(10), 128);

    // Up moves the handle up, towards position 0, as on the platform trackbar.
    model.setPos(10, 100);
    key(s, Qt::Key_Up);
    EXPECT_EQ(model.pos(10), 99);
    EXPECT_EQ(count(ControlEvent::Scrolled, 10), 3);
}

TEST_F(DialogBuilderTest, CheckMarkFromCodeRaisesNoClick) {
    model.setChecked(20, true);
    model.setChecked(21, true);
    EXPECT_TRUE(w<QAbstractButton>(20)->isChecked());
    EXPECT_TRUE(w<QAbstractButton>(21)->isChecked());
    EXPECT_EQ(count(ControlEvent::Clicked, 20), 0);
    EXPECT_EQ(count(ControlEvent::Clicked, 21), 0);
}

TEST_F(DialogBuilderTest, ClickingACheckBoxTogglesOnceAndRaisesClickedOnce) {
    for (int id : {20, 21}) { // plain and push-like
        bool seenInHandler = false;
        model.on(ControlEvent::Clicked, id, [&, id] { seenInHandler = model.checked(id); });
        w<QAbstractButton>(id)->click();
        EXPECT_TRUE(model.checked(id)) << id;
        EXPECT_TRUE(seenInHandler) << id; // the handler reads the new state
        EXPECT_TRUE(w<QAbstractButton>(id)->isChecked()) << id;
        w<QAbstractButton>(id)->click();
        EXPECT_FALSE(model.checked(id)) << id;
        EXPECT_FALSE(w<QAbstractButton>(id)->isChecked()) << id;
    }
}

TEST_F(DialogBuilderTest, ClickEndsInTheStateTheOperatorSeesEvenAfterADrift) {
    auto* box = w<QAbstractButton>(20);
    {
        QSignalBlocker quiet(box);
        box->setChecked(true); // the widget shows a mark the model does not have
    }
    box->click(); // the operator sees the mark go away
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(model.checked(20));
    EXPECT_EQ(count(ControlEvent::Clicked, 20), 1);
}

TEST_F(DialogBuilderTest, AHandlerThatRefusesACheckLeavesTheBoxUnchecked) {
    int clicks = 0;
    model.on(ControlEvent::Clicked, 20, [&] {
        ++clicks;
        model.setChecked(20, false); // e.g. a link that could not connect
    });
    w<QAbstractButton>(20)->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(model.checked(20));
    EXPECT_FALSE(w<QAbstractButton>(20)->isChecked());
}

TEST_F(DialogBuilderTest, ButtonsRaiseClicked) {
    w<QAbstractButton>(22)->click();
    w<QAbstractButton>(51)->click();
    EXPECT_EQ(count(ControlEvent::Clicked, 22), 1);
    EXPECT_EQ(count(ControlEvent::Clicked, 51), 1);
}

TEST_F(DialogBuilderTest, EditShowsTextFromCodeAndTypingRaisesTextChanged) {
    model.setText(30, "12");
    EXPECT_EQ(w<QLineEdit>(30)->text(), "12");
    EXPECT_EQ(count(ControlEvent::TextChanged, 30), 1); // the model's own, not an echo

    type(w<QLineEdit>(30), "7");
    EXPECT_EQ(model.text(30), "127");
    EXPECT_EQ(count(ControlEvent::TextChanged, 30), 2);
}

TEST_F(DialogBuilderTest, AValueCorrectedByTheHandlerShowsInTheEdit) {
    model.on(ControlEvent::TextChanged, 30, [this] {
        if (model.textInt(30) > 255)
            model.setText(30, "255");
    });
    type(w<QLineEdit>(30), "300");
    EXPECT_EQ(model.text(30), "255");
    EXPECT_EQ(w<QLineEdit>(30)->text(), "255");
}

TEST_F(DialogBuilderTest, MultiLineTextKeepsCrLfInTheModel) {
    model.setText(31, "first\r\nsecond");
    EXPECT_EQ(w<QPlainTextEdit>(31)->toPlainText(), "first\nsecond");
    auto* edit = w<QPlainTextEdit>(31);
    edit->moveCursor(QTextCursor::End);
    key(edit, Qt::Key_Return, {}, "\r");
    type(edit, "x");
    EXPECT_EQ(model.text(31), "first\r\nsecond\r\nx");
}

TEST_F(DialogBuilderTest, HotKeyFieldHoldsOneKeyWithItsModifiers) {
    model.setText(32, "Ctrl+Shift+A");
    auto* edit = w<QKeySequenceEdit>(32);
    EXPECT_EQ(edit->keySequence(), QKeySequence("Ctrl+Shift+A"));

    key(edit, Qt::Key_Alt, Qt::AltModifier); // a modifier alone changes nothing
    EXPECT_EQ(model.text(32), "Ctrl+Shift+A");
    key(edit, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(model.text(32), "Alt+B");
    key(edit, Qt::Key_F5, Qt::ControlModifier); // the next key replaces it
    EXPECT_EQ(model.text(32), "Ctrl+F5");
    EXPECT_EQ(edit->keySequence().count(), 1);
    key(edit, Qt::Key_Backspace);
    EXPECT_EQ(model.text(32), "");
    EXPECT_EQ(count(ControlEvent::TextChanged, 32), 4);
}

TEST_F(DialogBuilderTest, SpinArrowsStepThePositionInsideTheRange) {
    model.setRange(33, 0, 2);
    auto arrows = widgets.at(33)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* up = arrows[0]->arrowType() == Qt::UpArrow ? arrows[0] : arrows[1];
    QToolButton* down = up == arrows[0] ? arrows[1] : arrows[0];
    up->click();
    up->click();
    up->click(); // at the top: no move, no event
    EXPECT_EQ(model.pos(33), 2);
    EXPECT_EQ(count(ControlEvent::Scrolled, 33), 2);
    down->click();
    EXPECT_EQ(model.pos(33), 1);
}

TEST_F(DialogBuilderTest, VisibilityEnabledAndLabelTextFollowTheModel) {
    parent->show();
    EXPECT_FALSE(widgets.at(62)->isVisible()); // hidden from the table on
    model.setVisible(62, true);
    EXPECT_TRUE(widgets.at(62)->isVisible());
    model.setVisible(20, false);
    EXPECT_FALSE(widgets.at(20)->isVisible());
    model.setEnabled(22, false);
    EXPECT_FALSE(widgets.at(22)->isEnabled());
    model.setText(60, "Auto fade disable");
    EXPECT_EQ(w<QLabel>(60)->text(), "Auto fade disable");
    model.setText(22, "Stop");
    EXPECT_EQ(w<QAbstractButton>(22)->text(), "Stop");
}

TEST_F(DialogBuilderTest, SwatchesAndColourButtonsPaintTheModelColour) {
    model.setColour(50, 0x0000FF); // red in the low byte
    model.setColour(51, 0xFF0000); // blue
    EXPECT_EQ(centre(50), QColor(255, 0, 0));
    EXPECT_EQ(centre(51), QColor(0, 0, 255));
}

TEST_F(DialogBuilderTest, CustomAreaIsBlackUntilItGetsAPainter) {
    EXPECT_EQ(centre(52), QColor(Qt::black));
    EXPECT_TRUE(setPaintHook(widgets.at(52),
                             [](QPainter& p, QRect r) { p.fillRect(r, QColor(0, 200, 0)); }));
    EXPECT_EQ(centre(52), QColor(0, 200, 0));
    EXPECT_FALSE(setPaintHook(widgets.at(50), {}));
}

TEST_F(DialogBuilderTest, ListFollowsItsModelAndReportsTheOperatorsChoice) {
    list.add("b.wav");
    list.add("a.wav");
    list.add("c.wav");
    auto* lw = w<QListWidget>(40);
    ASSERT_EQ(lw->count(), 3);
    list.sortAscending();
    EXPECT_EQ(lw->item(0)->text(), "a.wav");
    list.select(1);
    EXPECT_TRUE(lw->item(1)->isSelected());
    EXPECT_EQ(count(ControlEvent::SelectionChanged, 40), 0);

    lw->setCurrentRow(2); // as a click does
    EXPECT_EQ(list.selected(), 2);
    EXPECT_EQ(count(ControlEvent::SelectionChanged, 40), 1);

    QPoint at = lw->visualItemRect(lw->item(2)).center();
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                      QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, lw->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(lw->viewport(), &e);
    }
    EXPECT_EQ(count(ControlEvent::DoubleClicked, 40), 1);
    EXPECT_EQ(list.selected(), 2);

    list.clear();
    EXPECT_EQ(lw->count(), 0);
}

TEST_F(DialogBuilderTest, ComboBoxChoiceAndTypingReachTheModel) {
    for (const char* s : {"chase.efe", "chase.efe (GLOBAL)", "strobe.efe"})
        combo.add(s);
    model.setText(41, "my.efe*"); // a step's text stands in the box, no item chosen
    auto* box = w<QComboBox>(41);
    EXPECT_EQ(box->currentText(), "my.efe*");

    key(box, Qt::Key_Down); // the operator picks an item
    ASSERT_GE(combo.selected(), 0);
    EXPECT_EQ(model.text(41), combo.item(combo.selected()).text);
    EXPECT_EQ(count(ControlEvent::SelectionChanged, 41), 1);

    box->lineEdit()->selectAll();
    type(box->lineEdit(), "x");
    EXPECT_EQ(combo.selected(), -1); // typing leaves no item chosen
    EXPECT_EQ(model.text(41), "x");
    EXPECT_EQ(box->currentText(), "x");

    combo.clear(); // refilling keeps the box's text
    combo.add("other.efe");
    EXPECT_EQ(box->currentText(), "x");
}

TEST_F(DialogBuilderTest, RichLogAppendsColouredLines) {
    appendLogLine(widgets.at(53), "started", 0x808000);
    appendLogLine(widgets.at(53), "failed", 0x000080);
    auto* log = widgets.at(53)->findChild<QTextDocument*>();
    ASSERT_NE(log, nullptr);
    ASSERT_EQ(log->blockCount(), 2);
    EXPECT_EQ(log->findBlockByNumber(0).text(), "started");
    QTextCharFormat f = log->findBlockByNumber(1).begin().fragment().charFormat();
    EXPECT_EQ(f.foreground().color(), QColor(128, 0, 0));
}

TEST_F(DialogBuilderTest, GroupBoxesLieBehindTheirControls) {
    QWidget* slider = widgets.at(10);
    EXPECT_EQ(parent->childAt(slider->geometry().center()), slider);
}

TEST_F(DialogBuilderTest, UnboundDialogNoLongerTalksToTheModel) {
    unbindDialog(parent.get());
    w<QAbstractButton>(20)->click();
    EXPECT_FALSE(model.checked(20));
    EXPECT_EQ(count(ControlEvent::Clicked, 20), 0);
    model.setPos(10, 30);
    EXPECT_NE(w<QSlider>(10)->value(), 30);
}

// A window closes, its model lives on: writes reach no dead widget (the
// sanitizer build would catch one), and a window built again on the same
// model shows what was written meanwhile and follows it from then on.
TEST_F(DialogBuilderTest, ModelsOutliveTheirWidgetsSafely) {
    model.setRange(10, 0, 255);
    parent.reset();
    model.setPos(10, 30);
    model.setText(30, "1");
    list.add("late.wav");
    combo.add("late.efe");

    QWidget again;
    std::map<int, QWidget*> rebuilt =
        buildDialog(&again, kSpecs, model, {{40, &list}, {41, &combo}});
    auto* slider = qobject_cast<QAbstractSlider*>(rebuilt.at(10));
    EXPECT_EQ(slider->value(), 30);
    EXPECT_EQ(qobject_cast<QLineEdit*>(rebuilt.at(30))->text(), "1");
    EXPECT_EQ(qobject_cast<QListWidget*>(rebuilt.at(40))->count(), 1);
    EXPECT_EQ(qobject_cast<QComboBox*>(rebuilt.at(41))->count(), 1);
    model.setPos(10, 200);
    list.add("later.wav");
    EXPECT_EQ(slider->value(), 200);
    EXPECT_EQ(qobject_cast<QListWidget*>(rebuilt.at(40))->count(), 2);
    unbindDialog(&again);
}

} // namespace
