// What the main window draws itself: swatches, the DMX monitor bar and the
// stage preview.

#include "app/consoledrawing.h"
#include "console/consoletable.h"
#include "show/patch.h"
#include "support/qtapp.h"
#include "windows/dialogbuilder.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace orvane;

namespace {

int entryNamed(std::string_view name) {
    for (int i = 0; i < kEntryCount; ++i)
        if (name == kPatch[i].name)
            return i;
    ADD_FAILURE() << "no entry " << name;
    return 0;
}

QRgb rgb(int r, int g, int b) {
    return qRgb(r, g, b);
}

QImage monitorPicture(const Universe& u, int64_t start, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter p(&image);
    paintMonitor(p, image.rect(), u, start);
    return image;
}

} // namespace

TEST(Monitor, CellsShowFiftyChannelsFromTheStart) {
    Universe u{};
    for (int c = 1; c <= kUniverseSize; ++c)
        u[size_t(c - 1)] = uint8_t(c);
    auto cells = monitorCells(u, 500);
    for (int i = 0; i < kMonitorCells; ++i) {
        const MonitorCell& c = cells[size_t(i)];
        EXPECT_EQ(c.channel, 500 + i);
        EXPECT_EQ(c.offset, "+" + std::to_string(i));
        uint8_t expected = 500 + i <= 512 ? uint8_t(500 + i) : 0;
        EXPECT_EQ(c.value, expected) << i;
    }
    EXPECT_EQ(cells[0].hex, "F4");  // channel 500 holds 500 & 0xFF
    EXPECT_EQ(cells[12].hex, "00"); // channel 512
    EXPECT_EQ(cells[13].hex, "00");
    // Before channel 1 and far out of range: black, value 0.
    for (int64_t start : {int64_t(-3), int64_t(0), int64_t(1) << 40}) {
        auto out = monitorCells(u, start);
        EXPECT_EQ(out[0].value, start >= 1 && start <= 512 ? u[size_t(start - 1)] : 0);
    }
    EXPECT_EQ(monitorCells(u, -3)[4].value, 1); // -3 + 4 is channel 1
}

TEST(Monitor, CellsNameTheirChannelAndItsDecimalValue) {
    Universe u{};
    u[499] = 7;
    u[511] = 255;
    auto cells = monitorCells(u, 500);
    EXPECT_EQ(cells[0].number, "500");
    EXPECT_EQ(cells[0].toolTip, "Channel 500: 7");
    EXPECT_EQ(cells[12].number, "512");
    EXPECT_EQ(cells[12].toolTip, "Channel 512: 255");
    EXPECT_EQ(cells[13].number, "");
    EXPECT_EQ(cells[13].toolTip, "No channel");
    EXPECT_EQ(monitorCells(u, -3)[4].number, "1");
    EXPECT_EQ(monitorCells(u, -3)[3].number, "");
}

// The cell under every x is the cell painted there, whatever the width.
TEST(Monitor, CellUnderThePointerIsTheCellPaintedThere) {
    for (int width : {1108, 1500, 7, 49, 50, 51, 173}) {
        QRect area(3, 0, width, 80);
        for (int x = area.left(); x <= area.right(); ++x) {
            int i = monitorCellAt(area, x);
            ASSERT_GE(i, 0) << width << " " << x;
            EXPECT_LE(area.left() + i * width / kMonitorCells, x) << width << " " << x;
            EXPECT_GT(area.left() + (i + 1) * width / kMonitorCells, x) << width << " " << x;
        }
        EXPECT_EQ(monitorCellAt(area, area.left() - 1), -1);
        EXPECT_EQ(monitorCellAt(area, area.right() + 1), -1);
    }
}

TEST(Monitor, StartAt500ShowsChannels500To512AndBlackBeyond) {
    testApp();
    Universe u{};
    u.fill(255);
    QImage image = monitorPicture(u, 500, QSize(1500, 80));
    for (int i = 0; i < kMonitorCells; ++i) {
        // A corner of the cell, clear of its texts.
        QRgb corner = image.pixel(i * 30 + 1, 78);
        EXPECT_EQ(corner, i <= 12 ? rgb(255, 255, 255) : rgb(0, 0, 0)) << "cell " << i;
    }
}

TEST(Monitor, OffsetIsRedAtTheTopAndValueGreenBelow) {
    testApp();
    Universe u{};
    QImage image = monitorPicture(u, 1, QSize(1500, 80));
    auto count = [&](int y0, int y1, auto pred) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 30; ++x)
                n += pred(QColor(image.pixel(x, y)));
        return n;
    };
    auto reddish = [](QColor c) { return c.red() > 100 && c.green() < 50 && c.blue() < 50; };
    auto greenish = [](QColor c) { return c.green() > 100 && c.red() < 50 && c.blue() < 50; };
    auto cyanish = [](QColor c) { return c.green() > 100 && c.blue() > 100 && c.red() < 50; };
    EXPECT_GT(count(0, 40, reddish), 0);
    EXPECT_EQ(count(40, 80, reddish), 0);
    EXPECT_GT(count(40, 80, greenish), 0);
    EXPECT_EQ(count(0, 40, greenish), 0);
    EXPECT_GT(count(0, 40, cyanish), 0); // the channel number, under the offset
    EXPECT_EQ(count(40, 80, cyanish), 0);
}

TEST(Swatches, ColourFollowsTheKind) {
    struct Case {
        const char* entry;
        LampValues lamp;
        ValuePair pair;
        int master;
        uint32_t expected;
    } cases[] = {
        {"0", {makeColour(255, 128, 10), 0, 255, 0, 0}, {}, 255, makeColour(255, 128, 10)},
        // 200 x 128/255 x 51/255 = 20 (truncated)
        {"3", {makeColour(200, 100, 0), 0, 128, 0, 0}, {}, 51, makeColour(20, 10, 0)},
        {"BS1", {makeColour(9, 9, 9), 0, 0, 0, 0}, {}, 255, 0},
        {"F1", {}, {77, 3}, 0, makeColour(77, 77, 77)},   // pulsed fan: its level, no master
        {"F11", {}, {66, 0}, 10, makeColour(66, 66, 66)}, // fan level
        {"S1", {}, {5, 0}, 255, makeColour(5, 5, 5)},
        {"SHU2", {}, {255, 0}, 0, makeColour(255, 255, 255)},
        {"UV1", {}, {1, 0}, 255, makeColour(1, 1, 1)},
        {"FP1", {}, {1, 1}, 0, makeColour(255, 255, 255)},
        {"FP1", {}, {1, 0}, 0, makeColour(128, 128, 128)},
        {"FP2", {}, {0, 9}, 0, makeColour(51, 51, 51)},
        {"FP2", {}, {0, 0}, 255, 0},
        {"L1", {}, {255, 200}, 255, makeColour(200, 200, 200)}, // its level is the second value
        {"L2", {}, {0, 200}, 128, makeColour(100, 100, 100)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(swatchColour(entryNamed(c.entry), c.lamp, c.pair, c.master), c.expected)
            << c.entry << " " << c.master;
}

TEST(Swatches, RepaintPutsTheColoursOnTheModel) {
    ControlModel controls;
    populateConsole(controls);
    Console console(controls);
    Universe output{};
    ConsoleDrawing drawing(console, output);
    controls.setPos(1005, 255 - 51); // master 51
    console.lamps()[0] = {makeColour(255, 0, 100), 0, 255, 0, 0};
    console.pairs()[entryNamed("S2")] = {40, 0};
    int changes = 0;
    controls.observe([&](int, ControlField f) { changes += f == ControlField::Colour; });
    drawing.repaintSwatches();
    EXPECT_EQ(controls.colour(kPatch[0].swatchId), makeColour(51, 0, 20));
    EXPECT_EQ(controls.colour(kPatch[entryNamed("S2")].swatchId), makeColour(40, 40, 40));
    // Nothing changed, nothing to repaint.
    changes = 0;
    drawing.repaintSwatches();
    EXPECT_EQ(changes, 0);
}

TEST(Stage, OverlappingBeamsAddUp) {
    testApp();
    Universe u{};
    u[1] = 0x0F; // beam of channel 2
    u[2] = 0xF0; // its neighbour, channel 3
    QImage image = renderStage(u, QSize(352, 236));
    // Near the top the two beams overlap between 2/14 and 3/14 of the width.
    EXPECT_EQ(image.pixel(62, 3), rgb(255, 255, 255));
    EXPECT_EQ(image.pixel(35, 3), rgb(15, 15, 15));
    EXPECT_EQ(image.pixel(88, 3), rgb(240, 240, 240));
    EXPECT_EQ(image.pixel(150, 3), rgb(0, 0, 0));     // channel 5 is 0: no beam
    EXPECT_EQ(image.pixel(0, 0), rgb(255, 255, 255)); // the frame
}

TEST(Stage, FloorSpotsAndLineFollowTheirChannels) {
    testApp();
    const QSize size(352, 236);
    Universe u{};
    u[0] = 100;                       // floor
    u[34] = 200;                      // spot at 2/6: red only
    u[46] = 0, u[47] = 0, u[48] = 90; // spot at 4/6: blue only
    u[23] = 127;                      // line off
    u[85] = 255, u[86] = 0, u[87] = 0;
    QImage image = renderStage(u, size);
    EXPECT_EQ(image.pixel(176, 230), rgb(100, 100, 100));
    EXPECT_EQ(image.pixel(176, 200), rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(352 * 2 / 6, 118), rgb(200, 0, 0));
    EXPECT_EQ(image.pixel(352 * 4 / 6, 118), rgb(0, 0, 90));
    EXPECT_EQ(image.pixel(352 * 1 / 6, 118), rgb(0, 0, 0));
    EXPECT_EQ(image.pixel(176, 232), rgb(100, 100, 100));
    u[23] = 128; // line on, ORed onto the floor
    image = renderStage(u, size);
    EXPECT_EQ(image.pixel(176, 232), rgb(255, 100, 100));
}

TEST(Stage, TinyAreasDoNotBreak) {
    testApp();
    Universe u{};
    u.fill(255);
    for (QSize s : {QSize(0, 0), QSize(1, 1), QSize(3, 2), QSize(2, 300)})
        EXPECT_EQ(renderStage(u, s).size(), s);
}

TEST(ConsoleDrawingWidgets, MonitorAndStageDrawThePublishedUniverse) {
    testApp();
    ControlModel controls;
    populateConsole(controls);
    Console console(controls);
    Universe output{};
    ConsoleDrawing drawing(console, output);
    auto window = std::make_unique<QWidget>();
    window->resize(kConsoleWidth, kConsoleHeight);
    std::map<int, QWidget*> widgets = buildDialog(window.get(), consoleControls(), controls);
    drawing.install(widgets.at(1051), widgets.at(1346));
    controls.setText(1426, "500");
    output[499] = 255;
    output[0] = 200;
    drawing.published();
    QImage bar = widgets.at(1051)->grab().toImage();
    QRect inner = widgets.at(1051)->contentsRect();
    int cell = inner.width() / kMonitorCells;
    EXPECT_EQ(bar.pixel(inner.left() + 1, inner.bottom() - 1), rgb(255, 255, 255));
    EXPECT_EQ(bar.pixel(inner.left() + cell + 1, inner.bottom() - 1), rgb(0, 0, 0));
    QImage stage = widgets.at(1346)->grab().toImage();
    QRect area = widgets.at(1346)->contentsRect();
    EXPECT_EQ(stage.pixel(area.center().x(), area.bottom() - 2), rgb(200, 200, 200));
    // A new universe is drawn once it is published.
    output[0] = 30;
    drawing.published();
    stage = widgets.at(1346)->grab().toImage();
    EXPECT_EQ(stage.pixel(area.center().x(), area.bottom() - 2), rgb(30, 30, 30));
    unbindDialog(window.get());
}

TEST(ConsoleDrawingWidgets, PointingAtAMonitorCellShowsItsChannelAndValue) {
    testApp();
    ControlModel controls;
    populateConsole(controls);
    Console console(controls);
    Universe output{};
    output[36] = 255;
    output[85] = 9;
    ConsoleDrawing drawing(console, output);
    auto window = std::make_unique<QWidget>();
    std::map<int, QWidget*> widgets = buildDialog(window.get(), consoleControls(), controls);
    drawing.install(widgets.at(1051), widgets.at(1346));
    window->show();
    controls.setText(1426, "37");
    QWidget* bar = widgets.at(1051);
    QRect inner = bar->contentsRect();
    for (auto [cell, text] : {std::pair{0, "Channel 37: 255"}, std::pair{49, "Channel 86: 9"}}) {
        QPoint at(inner.left() + (2 * cell + 1) * inner.width() / (2 * kMonitorCells),
                  inner.center().y());
        QHelpEvent help(QEvent::ToolTip, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &help);
        EXPECT_EQ(QToolTip::text().toStdString(), text) << cell;
    }
    unbindDialog(window.get());
}

TEST(ConsoleDrawingWidgets, AreasOutliveTheirPainter) {
    testApp();
    ControlModel controls;
    populateConsole(controls);
    Console console(controls);
    Universe output{};
    output.fill(255);
    auto window = std::make_unique<QWidget>();
    std::map<int, QWidget*> widgets = buildDialog(window.get(), consoleControls(), controls);
    auto drawing = std::make_unique<ConsoleDrawing>(console, output);
    drawing->install(widgets.at(1051), widgets.at(1346));
    drawing.reset();
    QImage stage = widgets.at(1346)->grab().toImage(); // plain black again
    QPoint centre = widgets.at(1346)->contentsRect().center();
    EXPECT_EQ(stage.pixel(centre), rgb(0, 0, 0));
    unbindDialog(window.get());
}
