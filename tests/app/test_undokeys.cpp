// The undo and redo keys: which combinations they are, that they reach the
// show from any widget (a text field's own undo included) and that a step's
// hot key cannot take them.

#include "app/hotkeys.h"
#include "app/undokeys.h"
#include "console/controlmodel.h"
#include "show/keycodes.h"
#include "support/qtapp.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace orvane;

namespace {

TEST(UndoKeys, TheCombinationsThatUndoAndRedo) {
    using A = UndoKeys::Action;
    struct Row {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        A action;
        HotKey hotKey;
    } rows[] = {
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, A::Undo, {'Z', kModCtrl}},
        {"Ctrl+Shift+Z",
         Qt::Key_Z,
         Qt::ControlModifier | Qt::ShiftModifier,
         A::Redo,
         {'Z', uint16_t(kModCtrl | kModShift)}},
        {"Ctrl+Y", Qt::Key_Y, Qt::ControlModifier, A::Redo, {'Y', kModCtrl}},
        {"Z alone", Qt::Key_Z, Qt::NoModifier, A::None, {'Z', 0}},
        {"Ctrl+Alt+Z",
         Qt::Key_Z,
         Qt::ControlModifier | Qt::AltModifier,
         A::None,
         {'Z', uint16_t(kModCtrl | kModAlt)}},
        {"Ctrl+Shift+Y",
         Qt::Key_Y,
         Qt::ControlModifier | Qt::ShiftModifier,
         A::None,
         {'Y', uint16_t(kModCtrl | kModShift)}},
        {"Ctrl+X", Qt::Key_X, Qt::ControlModifier, A::None, {'X', kModCtrl}},
    };
    for (const Row& row : rows) {
        QKeyEvent press(QEvent::KeyPress, row.key, row.mods);
        EXPECT_EQ(UndoKeys::actionOf(press), row.action) << row.name;
        EXPECT_EQ(isUndoRedoKey(row.hotKey), row.action != A::None) << row.name;
    }
}

TEST(UndoKeys, ATextFieldsOwnUndoNeverRunsTheShowsDoes) {
    testApp();
    int undos = 0, redos = 0;
    UndoKeys filter([&] { ++undos; }, [&] { ++redos; });
    qApp->installEventFilter(&filter);
    QLineEdit field;
    field.setText("typed");
    field.insert(" more");
    QKeyEvent ctrlZ(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::sendEvent(&field, &ctrlZ);
    QKeyEvent ctrlY(QEvent::KeyPress, Qt::Key_Y, Qt::ControlModifier);
    QCoreApplication::sendEvent(&field, &ctrlY);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(&field, &other);
    qApp->removeEventFilter(&filter);
    EXPECT_EQ(undos, 1);
    EXPECT_EQ(redos, 1);
    EXPECT_EQ(field.text().toStdString(), "typed morea") << "the field's own undo did not run";
}

TEST(UndoKeys, AStepHotKeyCannotTakeThem) {
    testApp();
    QWidget window;
    ControlModel controls;
    HotKeys keys(&window, controls, HotKeyActions{});
    EXPECT_FALSE(keys.registerHotKey(3, {'Z', kModCtrl}));
    EXPECT_FALSE(keys.registerHotKey(4, {'Y', kModCtrl}));
    EXPECT_TRUE(keys.registerHotKey(5, {'Z', uint16_t(kModCtrl | kModAlt)}));
}

} // namespace
