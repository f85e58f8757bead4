#include "windows/windowlock.h"

#include <QEvent>
#include <QPainter>

namespace orvane {

WindowLock::WindowLock(QWidget* window, QString text) : QWidget(window), m_text(std::move(text)) {
    setObjectName(QStringLiteral("windowlock"));
    setFocusPolicy(Qt::StrongFocus);
    hide();
    window->installEventFilter(this);
}

void WindowLock::lock() {
    QWidget* window = parentWidget();
    QWidget* focus = window->focusWidget();
    if (focus != this)
        m_previousFocus = focus;
    setGeometry(window->rect());
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void WindowLock::unlock() {
    if (!isVisible())
        return;
    hide();
    if (m_previousFocus)
        m_previousFocus->setFocus(Qt::OtherFocusReason);
    m_previousFocus = nullptr;
}

bool WindowLock::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        // Swallowed here, so they never reach the window behind. Shortcut
        // overrides are left alone: the window's shortcuts keep working.
        e->accept();
        return true;
    default:
        return QWidget::event(e);
    }
}

bool WindowLock::eventFilter(QObject* watched, QEvent* e) {
    if (watched != parentWidget() || !isVisible())
        return QWidget::eventFilter(watched, e);
    if (e->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    // The close box of a locked window is as dead as its other controls; a
    // close asked for by the program itself (a termination signal) still goes.
    if (e->type() == QEvent::Close && e->spontaneous()) {
        e->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void WindowLock::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 150));
    QFont f = font();
    f.setPointSize(28);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(rect(), Qt::AlignCenter, m_text);
}

} // namespace orvane
