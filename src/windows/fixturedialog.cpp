#include "windows/fixturedialog.h"

#include "fixtures/fixturecontrols.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"
#include "windows/fixturepad.h"

#include <QCloseEvent>
#include <QCursor>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace orvane {

std::vector<ControlDef> fixtureControlTable(std::span<const FixtureControl> controls,
                                            const std::map<int, QRect>& geometry,
                                            std::initializer_list<int> readOnly) {
    std::vector<ControlDef> table;
    for (const FixtureControl& c : controls) {
        QRect r = geometry.at(c.id);
        uint32_t flags = 0;
        if (c.id == fixture::kPad)
            flags |= kOwnerDrawn;
        if (std::find(readOnly.begin(), readOnly.end(), c.id) != readOnly.end())
            flags |= kReadOnly;
        table.push_back({c.id, c.kind, c.caption, r.x(), r.y(), r.width(), r.height(), flags});
    }
    return table;
}

FixtureDialog::FixtureDialog(QWidget* parent, const QString& title, std::vector<ControlDef> table,
                             QSize size, const QImage& room, Binding binding)
    : QDialog(parent), m_table(std::move(table)), m_room(room), m_binding(std::move(binding)) {
    setWindowTitle(title);
    m_widgets = buildDialog(this, m_table, *m_binding.controls);
    scaleWindow(this, size);
    // The controller counts in the pad's pixels at scale 1, whatever the window's size.
    if (QWidget* p = pad()) {
        const QSize client = designClientSize(p);
        m_binding.setPadSize(client.width(), client.height());
        setPaintHook(p, [this](QPainter& painter, QRect r) {
            paintPad(painter, r, m_room, m_binding.picture());
        });
    }
    m_binding.setView(view());
    m_fast.start(20, this, [this] { m_binding.tick(fixture::kTimerFast); });
    m_slow.start(50, this, [this] { m_binding.tick(fixture::kTimerSlow); });
    // Keys held, a pad dragged and a joystick keep the main window's ticks awake.
    m_fast.restWhen([] { return true; });
    m_slow.restWhen([] { return true; });
}

FixtureDialog::~FixtureDialog() {
    m_fast.stop();
    m_slow.stop();
    // The controller goes on without a window until it is destroyed too.
    m_binding.setView({});
    unbindDialog(this);
}

FixtureView FixtureDialog::view() {
    FixtureView v;
    v.minimised = [this] { return isMinimized(); };
    v.active = [this] { return isActiveWindow(); };
    v.cursor = [this]() -> std::optional<PadPoint> {
        QWidget* p = pad();
        if (!p)
            return std::nullopt;
        QPoint at = designPoint(p, p->mapFromGlobal(QCursor::pos()));
        return PadPoint{at.x(), at.y()};
    };
    v.repaintPad = [this] {
        if (QWidget* p = pad())
            p->update();
    };
    v.repaintWindow = [this] { update(); };
    return v;
}

QWidget* FixtureDialog::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

QImage FixtureDialog::renderPad() const {
    QWidget* p = pad();
    QRect r = p ? QRect(QPoint(0, 0), designClientSize(p)) : QRect(0, 0, kPadWidth, kPadHeight);
    QImage image(r.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintPad(painter, QRect(QPoint(0, 0), r.size()), m_room, m_binding.picture());
    return image;
}

void FixtureDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void FixtureDialog::reject() {
    // Escape closes nothing either.
}

void FixtureDialog::wheelEvent(QWheelEvent* event) {
    m_binding.wheel(event->angleDelta().y());
    event->accept();
}

} // namespace orvane
