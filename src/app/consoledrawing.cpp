#include "app/consoledrawing.h"
#include "playback/controlids.h"

#include "show/patch.h"
#include "show/textutil.h"
#include "windows/dialogbuilder.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace orvane {

namespace {

uint32_t grey(int v) {
    return makeColour(uint8_t(v), uint8_t(v), uint8_t(v));
}

QColor qgrey(int v) {
    return QColor(v, v, v);
}

// Channels of the stage preview, 1-based as the stage plan names them.
constexpr int kFloor = 1;
constexpr int kFirstFloorBeam = 2; // 2..12
constexpr int kFloorBeams = 11;
constexpr int kLeftBeams = 13;  // 13, 14
constexpr int kRightBeams = 15; // 15, 16
constexpr int kLineSwitch = 24;
constexpr int kLineColour = 86; // 86..88
struct Spot {
    int channel; // red; green and blue follow
    int sixths;  // centre, in sixths of the width
};
constexpr Spot kSpots[] = {{35, 2}, {43, 1}, {51, 5}, {47, 4}};

class Stage {
public:
    Stage(QImage& image, const Universe& u) : m_p(&image), m_u(u) {
        m_w = image.width();
        m_h = image.height();
        m_floorTop = m_h - m_h / 10;
        m_p.setPen(Qt::NoPen);
        m_p.setRenderHint(QPainter::Antialiasing, false);
        // Each shape lands on what is there already as a bitwise OR, which is
        // drawing it on black alone and combining the two pictures.
        m_p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    }

    void draw() {
        shape(QRect(0, m_floorTop, m_w, m_h - m_floorTop), ch(kFloor));
        floorBeams();
        sideBeams();
        spots();
        line();
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_p.setPen(Qt::white);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawRect(0, 0, m_w - 1, m_h - 1);
    }

private:
    int ch(int channel) const { return m_u[size_t(channel - 1)]; }

    void shape(const QRect& r, int level) {
        if (level != 0)
            m_p.fillRect(r, qgrey(level));
    }
    void beam(const QPolygon& triangle, int level) {
        if (level == 0)
            return;
        m_p.setBrush(qgrey(level));
        m_p.drawPolygon(triangle);
    }

    void floorBeams() {
        // One every 1/14 of the width, centred; neighbours overlap at the top.
        int half = m_w / 14;
        for (int k = 0; k < kFloorBeams; ++k) {
            int x = (k + 2) * m_w / 14;
            beam(QPolygon({QPoint(x, m_floorTop), QPoint(x - half, 0), QPoint(x + half, 0)}),
                 ch(kFirstFloorBeam + k));
        }
    }

    void sideBeams() {
        int reach = m_w * 3 / 5;
        for (int j = 0; j < 2; ++j) {
            int y = m_h * (15 + 20 * j) / 100;
            int y0 = y + m_h / 5;
            int y1 = y + m_h * 2 / 5;
            beam(QPolygon({QPoint(0, y), QPoint(reach, y0), QPoint(reach, y1)}),
                 ch(kLeftBeams + j));
            int x = m_w - 1;
            beam(QPolygon({QPoint(x, y), QPoint(x - reach, y0), QPoint(x - reach, y1)}),
                 ch(kRightBeams + j));
        }
    }

    void spots() {
        int r = std::max(2, std::min(m_w, m_h) / 8);
        for (const Spot& s : kSpots) {
            int red = ch(s.channel), green = ch(s.channel + 1), blue = ch(s.channel + 2);
            if ((red | green | blue) == 0)
                continue;
            m_p.setBrush(QColor(red, green, blue));
            m_p.drawEllipse(QPoint(s.sixths * m_w / 6, m_h / 2), r, r);
        }
    }

    void line() {
        if (ch(kLineSwitch) < 128)
            return;
        QColor c(ch(kLineColour), ch(kLineColour + 1), ch(kLineColour + 2));
        m_p.fillRect(QRect(1, m_h - 4, std::max(0, m_w - 2), 2), c);
    }

    QPainter m_p;
    const Universe& m_u;
    int m_w = 0;
    int m_h = 0;
    int m_floorTop = 0;
};

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
        c.toolTip = inside ? format("Channel %lld: %u", static_cast<long long>(c.channel),
                                    unsigned(c.value))
                           : "No channel";
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

QImage renderStage(const Universe& universe, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    if (size.width() >= 2 && size.height() >= 2)
        Stage(image, universe).draw();
    return image;
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
