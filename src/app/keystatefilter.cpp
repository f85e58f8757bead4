#include "app/keystatefilter.h"

#include <QEvent>
#include <QKeyEvent>

namespace orvane {

KeyStateFilter::KeyStateFilter(KeyStates& keys, QObject* parent) : QObject(parent), m_keys(keys) {}

bool KeyStateFilter::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        // A held key repeats as release-press pairs; it stays down all along.
        if (key->isAutoRepeat())
            return QObject::eventFilter(watched, event);
        bool down = type == QEvent::KeyPress;
        switch (key->key()) {
        case Qt::Key_ScrollLock:
            down ? m_keys.scrollLock.press() : m_keys.scrollLock.release();
            break;
        case Qt::Key_Escape:
            down ? m_keys.escape.press() : m_keys.escape.release();
            break;
        default:
            break;
        }
        m_keys.shift.set(key->modifiers().testFlag(Qt::ShiftModifier) ||
                         (down && key->key() == Qt::Key_Shift));
        if (!down && key->key() == Qt::Key_Shift)
            m_keys.shift.release();
    } else if (type == QEvent::ApplicationDeactivate) {
        // Keys released while another program has the focus are never seen.
        m_keys.shift.release();
        m_keys.escape.release();
        m_keys.scrollLock.release();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orvane
