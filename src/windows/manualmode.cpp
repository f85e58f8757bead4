#include "windows/manualmode.h"

#include "fixtures/manualmodetable.h"
#include "show/language.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"

#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include <vector>

namespace orvane {

using namespace manualpanel;

namespace {

// Cell texts: larger than the classic small font, to be read from the desk; the
// level's blue is lightened enough to stay legible on a black cell as on a white one.
constexpr int kCellPoints = 9;
const QColor kNumberRed(255, 0, 0);
const QColor kLevelBlue(30, 110, 255);

} // namespace

void paintLevelStrip(QPainter& p, QRect r, const ManualModeController::Levels& levels) {
    const int cellW = r.width() / kPredefinedCount;
    QFont font = p.font();
    font.setPointSize(kCellPoints);
    font.setBold(true);
    p.setFont(font);
    p.setBackgroundMode(Qt::TransparentMode);
    for (int i = 0; i < kPredefinedCount; ++i) {
        const int v = levels[size_t(i)];
        const QRect cell(r.left() + i * cellW, r.top(), cellW, r.height());
        p.fillRect(cell, QColor(v, v, v));
        const QRect top(cell.left(), cell.top(), cell.width(), cell.height() / 2);
        const QRect bottom(cell.left(), top.bottom() + 1, cell.width(),
                           cell.height() - top.height());
        p.setPen(kNumberRed);
        p.drawText(top, Qt::AlignCenter, QString::fromStdString(cellNumber(i)));
        p.setPen(kLevelBlue);
        p.drawText(bottom, Qt::AlignCenter, QString::fromStdString(cellLevel(uint8_t(v))));
    }
}

manualmode::manualmode(QWidget* owner, ManualModeController& mode)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_mode(mode),
      m_panel(m_controls, mode) {
    setWindowTitle(translateQ("Manual mode", "Manual mode"));
    setObjectName(QString::number(kDialogId));
    m_widgets = buildDialog(this, manualModeControls(), m_controls);
    scaleWindow(this, QSize(kWindowWidth, kWindowHeight));
    // A number edit: digits only.
    if (auto* edit = qobject_cast<QLineEdit*>(widget(kFirstStep)))
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,9}")), edit));
    setPaintHook(widget(kStrip),
                 [this](QPainter& p, QRect r) { paintLevelStrip(p, r, m_mode.levels()); });
    m_panel.init();
    m_timer.start(kTickMs, this, [this] { OnTimer(); });
    // Only the faders move the levels, and the operator moves them.
    m_timer.restWhen([] { return true; });
}

manualmode::~manualmode() {
    m_timer.stop();
    unbindDialog(this);
}

QWidget* manualmode::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

void manualmode::reject() {}

void manualmode::OnTimer() {
    if (m_panel.tick())
        widget(kStrip)->update();
}

} // namespace orvane
