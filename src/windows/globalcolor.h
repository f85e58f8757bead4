#pragma once
// "Global Color" (dialog 120): the three colour zones of the global colour window
// over the logic in fixtures/globalcolourcontroller.h. The pads are painted from the colour
// field, pixel by pixel once per pad size and then copied; a pick is the left
// button held on a pad, read by the window's own 50 ms timer, which runs whether
// the window is shown or hidden. The window has no close box: the main window's
// "Global Color" button hides and shows it. User-interface thread only.

#include "console/controldef.h"
#include "fixtures/globalcolourcontroller.h"
#include "fixtures/globalcolourtable.h"
#include "windows/sharedtick.h"

#include <QDialog>
#include <QImage>
#include <QPoint>

#include <functional>
#include <map>

class QPainter;

namespace orvane {

class GlobalColor : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        const Clock* clock = nullptr;             // the program's monotonic clock
        std::function<bool(int zone)> keypadHeld; // numeric keypad 1, 2, 3 for zones 0, 1, 2
    };

    // owner: the main window; console: the main window's console.
    GlobalColor(QWidget* owner, Console& console, Hooks hooks);
    ~GlobalColor() override;

    ControlModel& controls() { return m_controls; }
    const GlobalColourController& controller() const { return m_controller; }
    QWidget* widget(int id) const;

    // One tick of the window's timer.
    void OnTimer();

    // The painted field of the current pad size (built on first use after a resize).
    const QImage& fieldImage(QSize padSize);

    // No close box: Escape does not hide the window either.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintPad(int zone, QPainter& p, QRect r);
    globalcolour::TickInput tickInput();

    ControlModel m_controls;
    GlobalColourController m_controller;
    Hooks m_hooks;
    std::map<int, QWidget*> m_widgets;
    SharedTick m_timer;
    QImage m_field;
    bool m_buttonHeld = false;
    bool m_pressedSinceTick = false;
    QPoint m_cursor; // global, where the button was last seen on or dragged from a pad
};

} // namespace orvane
