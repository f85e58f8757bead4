#pragma once
// Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, in every window of the program:
// an application-wide event filter takes these keys before any widget does (a
// text field's own undo included), so that they always act on the show.
// User-interface thread only.

#include <QObject>

#include <functional>

class QKeyEvent;

namespace orvane {

class UndoKeys : public QObject {
    Q_OBJECT
public:
    enum class Action { None, Undo, Redo };

    UndoKeys(std::function<void()> undo, std::function<void()> redo, QObject* parent = nullptr);
    bool eventFilter(QObject* watched, QEvent* event) override;

    static Action actionOf(const QKeyEvent& key);

private:
    std::function<void()> m_undo;
    std::function<void()> m_redo;
};

} // namespace orvane
