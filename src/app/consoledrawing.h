#pragma once
// What the main window draws itself: the room-plan swatches (as model colours
// the widget binding paints), the DMX monitor bar 1051 and the stage preview
// 1346, both from the published universe. User-interface thread only.

#include "console/console.h"
#include "console/controlmodel.h"
#include "dmx/universe.h"
#include "windows/stagepreview.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class QPainter;

namespace orvane {

// The colour (0x00BBGGRR) a room-plan swatch shows for patch entry `entry`
// with the master fader at `master` (0-255).
uint32_t swatchColour(int entry, const LampValues& lamp, const ValuePair& pair, int master);

// One cell of the DMX monitor bar.
struct MonitorCell {
    int64_t channel = 0; // 1-based; outside 1-512 the cell is black with value 0
    uint8_t value = 0;
    std::string offset;  // "+%u", the cell's index
    std::string number;  // the channel number, empty outside 1-512
    std::string hex;     // "%2.2X", the value
    std::string toolTip; // channel and value in decimal
};
constexpr int kMonitorCells = 50;

std::array<MonitorCell, kMonitorCells> monitorCells(const Universe& universe, int64_t start);
// The cell under x in a bar drawn across area, -1 outside it.
int monitorCellAt(QRect area, int x);

// Paints the bar's 50 cells across `area`.
void paintMonitor(QPainter& p, QRect area, const Universe& universe, int64_t start);

class ConsoleDrawing {
public:
    // `output` is the published universe (MainTimer::output()); it must outlive
    // this object, as must the console and its controls.
    ConsoleDrawing(Console& console, const Universe& output);
    ~ConsoleDrawing(); // takes its painters back from areas still alive
    ConsoleDrawing(const ConsoleDrawing&) = delete;
    ConsoleDrawing& operator=(const ConsoleDrawing&) = delete;

    // Installs the painters of the monitor bar and the stage preview.
    void install(QWidget* monitorBar, QWidget* stagePreview);

    // The main timer's swatch repaint: sets every swatch's model colour; the
    // binding repaints only the swatches whose colour changed.
    void repaintSwatches();
    // The universe was published: both areas are drawn anew.
    void published();
    // Field 1426 changed.
    void repaintMonitor();

private:
    void paintStage(QPainter& p, QRect area);

    Console& m_console;
    ControlModel& m_controls;
    const Universe& m_output;
    QPointer<QWidget> m_monitor;
    QPointer<QWidget> m_stage;
    QImage m_stageImage;
    bool m_stageDirty = true;
};

} // namespace orvane
