#pragma once
// Takes a window's input away while leaving it on screen and enabled: a shade
// over its client area catches the mouse, and the keyboard focus moves onto the
// shade, which swallows the keys. Unlike a disabled or modal-blocked window,
// the locked one keeps its application-wide shortcuts (step, sound and fade-in
// hot keys) and its owned tool windows stay usable. Its close box does nothing
// while it is locked.
// User-interface thread only.

#include <QPointer>
#include <QString>
#include <QWidget>

namespace orvane {

class WindowLock : public QWidget {
    Q_OBJECT
public:
    // The shade is a child of `window`, hidden until lock(); `text` is shown on it.
    WindowLock(QWidget* window, QString text);

    void lock();
    void unlock(); // the focus goes back where it was
    bool locked() const { return isVisible(); }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QString m_text;
    QPointer<QWidget> m_previousFocus;
};

} // namespace orvane
