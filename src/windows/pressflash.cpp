#include "windows/pressflash.h"

#include "windows/theme.h"

#include <QTimer>
#include <QWidget>

namespace orvane {

PressFlash::PressFlash(QWidget* bar) : QObject(bar), m_bar(bar), m_timer(new QTimer(this)) {
    m_timer->setInterval(kHalfPeriodMs);
    connect(m_timer, &QTimer::timeout, this, [this] { turn(); });
}

void PressFlash::flash() {
    if (!m_bar)
        return;
    ++m_flashes;
    if (!flashing())
        m_normal = m_bar->palette();
    m_turnsLeft = 2 * kBlinks;
    light(true);
    m_timer->start();
}

void PressFlash::turn() {
    if (--m_turnsLeft <= 0) {
        m_turnsLeft = 0;
        m_timer->stop();
        light(false);
        return;
    }
    light(m_turnsLeft % 2 == 0);
}

// The whole bar, groove and chunk, in the flash colour.
void PressFlash::light(bool on) {
    m_lit = on;
    if (!m_bar)
        return;
    if (!on) {
        m_bar->setPalette(m_normal);
        return;
    }
    QPalette p = m_normal;
    const QColor colour = theme().colours().flash;
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Highlight, QPalette::Window})
        p.setColor(role, colour);
    m_bar->setPalette(p);
}

} // namespace orvane
