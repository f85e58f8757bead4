#include "windows/globalcolor.h"

#include "fixtures/globalcolourtable.h"
#include "show/language.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <array>
#include <vector>

namespace orvane {

using namespace globalcolour;

namespace {

constexpr int kPointRadius = 5;

} // namespace

GlobalColor::GlobalColor(QWidget* owner, Console& console, Hooks hooks)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_controller(m_controls, console), m_hooks(std::move(hooks)) {
    setWindowTitle(translateQ("Global colour", "Global Color"));
    setObjectName(QString::number(kDialogId));
    m_widgets = buildDialog(this, globalColourControls(), m_controls);
    scaleWindow(this, QSize(kWindowWidth, kWindowHeight));
    // The controller picks in the pads' pixels at scale 1, whatever the window's size.
    QSize client = designClientSize(widget(kZones[0].pad));
    for (int k = 0; k < kZoneCount; ++k) {
        QWidget* pad = widget(kZones[size_t(k)].pad);
        pad->installEventFilter(this);
        pad->setCursor(Qt::CrossCursor);
        setPaintHook(pad, [this, k](QPainter& p, QRect r) { paintPad(k, p, r); });
    }
    m_controller.init(client.width(), client.height());
    m_timer.start(kTickMs, this, [this] { OnTimer(); });
    // A click already over still waits for this tick: the ticks may not rest
    // before it came round (a shorter tick may run first after the press).
    m_timer.restWhen([this] { return !m_controller.fading() && !m_pressedSinceTick; });
}

GlobalColor::~GlobalColor() {
    m_timer.stop();
    // The model dies before the widgets: cut the binding first.
    unbindDialog(this);
}

QWidget* GlobalColor::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

void GlobalColor::reject() {}

bool GlobalColor::eventFilter(QObject* watched, QEvent* event) {
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse || !qobject_cast<QWidget*>(watched))
        return QDialog::eventFilter(watched, event);
    // The pad under a press takes the mouse until the release, so every move of a
    // drag arrives here, also outside the pad.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            m_buttonHeld = true;
            m_pressedSinceTick = true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (mouse->button() == Qt::LeftButton)
            m_buttonHeld = false;
        break;
    case QEvent::MouseMove:
        break;
    default:
        return QDialog::eventFilter(watched, event);
    }
    m_cursor = mouse->globalPosition().toPoint();
    return QDialog::eventFilter(watched, event);
}

TickInput GlobalColor::tickInput() {
    TickInput in;
    // A click shorter than a tick still picks.
    in.picking = m_buttonHeld || m_pressedSinceTick;
    m_pressedSinceTick = false;
    for (int k = 0; k < kZoneCount; ++k) {
        in.keypadHeld[size_t(k)] = m_hooks.keypadHeld && m_hooks.keypadHeld(k);
        QWidget* pad = widget(kZones[size_t(k)].pad);
        QPoint p = designPoint(pad, pad->mapFromGlobal(m_cursor));
        in.cursor[size_t(k)] = {p.x(), p.y()};
    }
    return in;
}

void GlobalColor::OnTimer() {
    Milliseconds now = m_hooks.clock ? m_hooks.clock->nowMs() : 0ms;
    std::array<bool, kZoneCount> repaint = m_controller.tick(now, tickInput());
    for (int k = 0; k < kZoneCount; ++k)
        if (repaint[size_t(k)])
            widget(kZones[size_t(k)].pad)->update();
}

const QImage& GlobalColor::fieldImage(QSize padSize) {
    if (m_field.size() == padSize)
        return m_field;
    const ColourField& field = m_controller.field();
    if (field.width() != padSize.width() || field.height() != padSize.height())
        m_controller.resizePads(padSize.width(), padSize.height());
    m_field = QImage(padSize, QImage::Format_RGB32);
    m_controller.field().paint(reinterpret_cast<uint32_t*>(m_field.bits()),
                               int(m_field.bytesPerLine() / 4));
    return m_field;
}

void GlobalColor::paintPad(int zone, QPainter& p, QRect r) {
    p.drawImage(r.topLeft(), fieldImage(r.size()));
    const PadPoint at = m_controller.zone(zone).point;
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(r.left() + at.x + 0.5, r.top() + at.y + 0.5), kPointRadius, kPointRadius);
}

} // namespace orvane
