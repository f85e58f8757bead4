#include "app/consoledrawing.h"
#include "console/controlids.h"

#include "show/language.h"
#include "show/patch.h"
#include "show/textutil.h"
#include "windows/dialogbuilder.h"

#include <QPainter>

#include <algorithm>

namespace orvane {

namespace {

uint32_t grey(int v) {
    return makeColour(uint8_t(v), uint8_t(v), uint8_t(v));
}

QColor qgrey(int v) {
    return QColor(v, v, v);
}

QFont monitorFont() {
    QFont f(QStringLiteral("Small"));
    f.setPointSize(7);
    return f;
}

} // namespace

uint32_t swatchColour(int entry, const LampValues& lamp, const ValuePair& pair, int master) {
    if (entry < 0 || entry >= kEntryCount)
        return 0;
    master = std::clamp(master, 0, 255);
    switch (kPatch[size_t(entry)].type) {
    case kTypeLamp: {
        auto scale = [&](uint8_t c) { return uint8_t(c * lamp.intensity * master / (255 * 255)); };
        return makeColour(scale(redOf(lamp.colour)), scale(greenOf(lamp.colour)),
                          scale(blueOf(lamp.colour)));
    }
    case kTypeFogPair:
        if (pair.first && pair.second)
            return grey(255);
        return pair.first ? grey(128) : pair.second ? grey(51) : 0;
    case kTypeTwoChannel:
        return grey(pair.second * master / 255);
    case kTypeNone:
        return 0;
    default:
        return grey(pair.first);
    }
}

std::array<MonitorCell, kMonitorCells> monitorCells(const Universe& universe, int64_t start) {
    std::array<MonitorCell, kMonitorCells> cells;
    for (int i = 0; i < kMonitorCells; ++i) {
        MonitorCell& c = cells[size_t(i)];
        c.channel = start + i;
        if (c.channel >= 1 && c.channel <= kUniverseSize)
            c.value = universe[size_t(c.channel - 1)];
        c.offset = format("+%u", unsigned(i));
        c.hex = format("%2.2X", unsigned(c.value));
        bool inside = c.channel >= 1 && c.channel <= kUniverseSize;
        c.number = inside ? format("%lld", static_cast<long long>(c.channel)) : "";
        c.toolTip = inside ? fillIn(translate("Main window", "Channel %1: %2"),
                                    {std::to_string(c.channel), std::to_string(c.value)})
                           : translate("Main window", "No channel");
    }
    return cells;
}

int monitorCellAt(QRect area, int x) {
    if (area.width() <= 0 || x < area.left() || x > area.right())
        return -1;
    // The inverse of the cell edges left + i * width / 50.
    int i = ((x - area.left()) * kMonitorCells + kMonitorCells - 1) / area.width();
    while (i > 0 && area.left() + i * area.width() / kMonitorCells > x)
        --i;
    return std::min(i, kMonitorCells - 1);
}

void paintMonitor(QPainter& p, QRect area, const Universe& universe, int64_t start) {
    const std::array<MonitorCell, kMonitorCells> cells = monitorCells(universe, start);
    p.save();
    p.setFont(monitorFont());
    int half = area.height() / 2;
    for (int i = 0; i < kMonitorCells; ++i) {
        const MonitorCell& c = cells[size_t(i)];
        int x0 = area.left() + i * area.width() / kMonitorCells;
        int x1 = area.left() + (i + 1) * area.width() / kMonitorCells;
        QRect cell(x0, area.top(), x1 - x0, area.height());
        p.fillRect(cell, qgrey(c.value));
        p.setPen(Qt::red);
        p.drawText(QRect(x0, area.top(), x1 - x0, half), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromStdString(c.offset));
        p.setPen(Qt::cyan);
        p.drawText(QRect(x0, area.top(), x1 - x0, half), Qt::AlignHCenter | Qt::AlignBottom,
                   QString::fromStdString(c.number));
        p.setPen(Qt::green);
        p.drawText(QRect(x0, area.top() + half, x1 - x0, area.height() - half), Qt::AlignCenter,
                   QString::fromStdString(c.hex));
    }
    p.restore();
}

ConsoleDrawing::ConsoleDrawing(Console& console, const Universe& output)
    : m_console(console), m_controls(console.controls()), m_output(output) {}

ConsoleDrawing::~ConsoleDrawing() {
    for (QWidget* area : {m_monitor.data(), m_stage.data()})
        if (area) {
            setPaintHook(area, {});
            setToolTipHook(area, {});
        }
}

void ConsoleDrawing::install(QWidget* monitorBar, QWidget* stagePreview) {
    m_monitor = monitorBar;
    m_stage = stagePreview;
    if (monitorBar) {
        setPaintHook(monitorBar, [this](QPainter& p, QRect area) {
            paintMonitor(p, area, m_output, m_controls.textInt(1426));
        });
        setToolTipHook(monitorBar, [this](QPoint at, QRect area) {
            int cell = monitorCellAt(area, at.x());
            if (cell < 0)
                return std::string();
            return monitorCells(m_output, m_controls.textInt(1426))[size_t(cell)].toolTip;
        });
    }
    if (stagePreview)
        setPaintHook(stagePreview, [this](QPainter& p, QRect area) { paintStage(p, area); });
}

void ConsoleDrawing::paintStage(QPainter& p, QRect area) {
    // Drawn off-screen once per published universe, copied in one piece.
    if (m_stageDirty || m_stageImage.size() != area.size()) {
        m_stageImage = renderStage(m_output, area.size());
        m_stageDirty = false;
    }
    p.drawImage(area.topLeft(), m_stageImage);
}

void ConsoleDrawing::repaintSwatches() {
    int master = 255 - m_controls.pos(console::kMaster);
    for (int i = 0; i < kEntryCount; ++i) {
        int swatch = kPatch[size_t(i)].swatchId;
        if (swatch == -1 || !m_controls.has(swatch))
            continue;
        m_controls.setColour(swatch, swatchColour(i, m_console.lamps()[size_t(i)],
                                                  m_console.pairs()[size_t(i)], master));
    }
}

void ConsoleDrawing::published() {
    m_stageDirty = true;
    if (m_monitor)
        m_monitor->update();
    if (m_stage)
        m_stage->update();
}

void ConsoleDrawing::repaintMonitor() {
    if (m_monitor)
        m_monitor->update();
}

} // namespace orvane
