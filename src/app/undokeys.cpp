#include "app/undokeys.h"

#include <QEvent>
#include <QKeyEvent>

namespace orvane {

UndoKeys::UndoKeys(std::function<void()> undo, std::function<void()> redo, QObject* parent)
    : QObject(parent), m_undo(std::move(undo)), m_redo(std::move(redo)) {}

UndoKeys::Action UndoKeys::actionOf(const QKeyEvent& key) {
    Qt::KeyboardModifiers mods = key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                    Qt::AltModifier | Qt::MetaModifier);
    if (key.key() == Qt::Key_Z && mods == Qt::ControlModifier)
        return Action::Undo;
    if ((key.key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) ||
        (key.key() == Qt::Key_Y && mods == Qt::ControlModifier))
        return Action::Redo;
    return Action::None;
}

bool UndoKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    Action action = actionOf(*static_cast<QKeyEvent*>(event));
    if (action == Action::None)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Taken as the focus widget's own key: no shortcut (a step's hot key
        // on the same keys) fires, and the key press comes here next.
        event->accept();
        return true;
    }
    const std::function<void()>& act = action == Action::Undo ? m_undo : m_redo;
    if (act)
        act();
    return true;
}

} // namespace orvane
