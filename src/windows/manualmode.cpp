#include "windows/manualmode.h"

#include "windows/dialogbuilder.h"

#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include <vector>

namespace orvane {

using namespace manualpanel;

namespace {

constexpr int kCellW = 44;
constexpr int kLeft = 12;
constexpr int kStripW = kPredefinedCount * kCellW + 2; // and its frame
constexpr int kWidth = kLeft * 2 + kStripW;
constexpr int kHeight = 304;
constexpr int kFaderW = 30;
constexpr int kFaderTop = 106;
constexpr int kFaderH = 170;
// Cell texts: larger than the classic small font, to be read from the desk; the
// level's blue is lightened enough to stay legible on a black cell as on a white one.
constexpr int kCellPoints = 9;
const QColor kNumberRed(255, 0, 0);
const QColor kLevelBlue(30, 110, 255);

const char* const kFaderCaptions[kPredefinedCount] = {
    "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12",
    "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24"};

std::vector<ControlDef> makeTable() {
    std::vector<ControlDef> t;
    t.push_back({kStrip, ControlKind::Custom, "", kLeft, 10, kStripW, 50, kOwnerDrawn});
    t.push_back({kNoId, ControlKind::Label, "Premier pas contenant les r\xc3\xa9glages", kLeft, 70,
                 300, 26, 0});
    t.push_back({kFirstStep, ControlKind::Edit, "", kLeft + 304, 70, 80, 26, 0});
    for (int i = 0; i < kPredefinedCount; ++i) {
        const int cell = kLeft + 1 + i * kCellW;
        t.push_back({kFaders[size_t(i)], ControlKind::Slider, "", cell + (kCellW - kFaderW) / 2,
                     kFaderTop, kFaderW, kFaderH, kVertical});
        t.push_back({kNoId, ControlKind::Label, kFaderCaptions[i], cell, kFaderTop + kFaderH + 4,
                     kCellW, 18, kCentred});
    }
    return t;
}

const std::vector<ControlDef>& table() {
    static const std::vector<ControlDef> t = makeTable();
    return t;
}

} // namespace

std::span<const ControlDef> dialog114Controls() {
    return table();
}

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
    setWindowTitle(QStringLiteral("Manual mode"));
    setObjectName(QString::number(kDialogId));
    setFixedSize(kWidth, kHeight);
    m_widgets = buildDialog(this, dialog114Controls(), m_controls);
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
