#pragma once
// A progress bar that acknowledges a press it did not act on: it blinks in the
// theme's flash colour a few times, then looks as before. A press during a
// flash starts it again. User-interface thread only.

#include <QObject>
#include <QPalette>
#include <QPointer>

class QTimer;
class QWidget;

namespace orvane {

class PressFlash : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlinks = 3;
    static constexpr int kHalfPeriodMs = 120;

    // Owned by bar; does nothing until flash().
    explicit PressFlash(QWidget* bar);

    void flash();
    bool lit() const { return m_lit; }
    bool flashing() const { return m_turnsLeft > 0; }
    // Flashes started so far.
    int flashes() const { return m_flashes; }

private:
    void turn();
    void light(bool on);

    QPointer<QWidget> m_bar;
    QTimer* m_timer;
    QPalette m_normal;
    int m_turnsLeft = 0;
    int m_flashes = 0;
    bool m_lit = false;
};

} // namespace orvane
