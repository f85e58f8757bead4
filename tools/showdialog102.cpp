// Renders the main window's control layout with sample values into a PNG, to look
// at the console without a show, a DMX line or a sound device.
//   showdialog102 out.png [--next] [--crop x,y,w,h]
// --next also shows the hidden next-step panel; --crop saves only that rectangle.

#include "console/consoletable.h"
#include "startup/startup.h"
#include "windows/dialogbuilder.h"

#include <QApplication>
#include <QGroupBox>
#include <QPainter>
#include <QWidget>

#include <cstdio>

using namespace orvane;

namespace {

constexpr int kFaders[] = {1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034,
                           1035, 1036, 1037, 1038, 1039, 1040, 4080, 1122, 1133, 1136,
                           1141, 1148, 1396, 1056, 5083, 4087, 1091, 1094};
constexpr int kColourButtons[] = {2038, 2001, 2006, 2007, 2008, 2009, 2027,
                                  1125, 2028, 2002, 2003, 2004, 2005};

void fillSample(ControlModel& m, ListModel& sounds, ListModel& effects) {
    m.setPos(1005, 0);
    m.setText(4091, "OSC: 192.168.10.1:9000  Web: 192.168.10.1:8080");
    for (int i = 0; i < 28; ++i)
        m.setPos(kFaders[i], (i * 37) % 256);
    m.setPos(1009, 80);
    m.setPos(4078, 30);
    for (int i = 0; i < 13; ++i)
        m.setColour(kColourButtons[i], 0x1020F0u * uint32_t(i + 1) & 0xFFFFFFu);
    m.setText(1392, "Auto fade disable");
    m.setText(1000, "127");
    m.setText(1052, "Opening\r\nBlue wash on the stage");
    m.setText(1002, "Chargement du fichier audio intro LOOP=3.wav...");
    m.setText(1058, "2.00");
    m.setText(1060, "1.50");
    m.setText(1084, "3.25");
    m.setText(1092, "12");
    m.setText(1364, "LOAD=FADE,chase.efe\r\nMISC2=ON");
    m.setText(1110, "intro");
    m.setText(1024, "0:12 345/ 1:02 000- 1/3");
    m.setText(1426, "1");
    for (int id : {1010, 1011, 1397, 1057})
        m.setPos(id, 2500);
    m.setPos(1120, 7500);
    m.setPos(1121, 7000);
    m.setPos(1267, 18000);
    m.setPos(1272, 12000);
    m.setPos(1062, 40);
    m.setChecked(1117, true);
    for (int id : {1299, 1300, 1301, 1303, 1304, 1305})
        m.setChecked(id, true);
    for (const char* s : {"intro LOOP=3.wav 1:02 000", "gong (SC=G).wav 0:04 500",
                          "applause.wav 0:20 250", "finale.wav 3:45 125"})
        sounds.add(s);
    sounds.select(1);
    for (const char* s : {"chase.efe", "chase.efe (GLOBAL)", "strobe.efe"})
        effects.add(s);
    m.setText(1340, "chase.efe");
}

// A sketch of the monitor cells, to judge their size; the console draws the real one.
void paintMonitorSketch(QPainter& p, QRect r) {
    QFont f("Sans", 7);
    p.setFont(f);
    for (int i = 0; i < 50; ++i) {
        QRect cell(r.left() + r.width() * i / 50, r.top(), r.width() / 50, r.height());
        int v = (i * 29) % 256;
        p.fillRect(cell, QColor(v, v, v));
        p.setPen(Qt::red);
        p.drawText(cell.adjusted(0, 0, 0, -cell.height() / 2), Qt::AlignCenter,
                   QString("+%1").arg(i));
        p.setPen(Qt::green);
        p.drawText(cell.adjusted(0, cell.height() / 2, 0, 0), Qt::AlignCenter,
                   QString("%1").arg(v, 2, 16, QChar('0')).toUpper());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s out.png [--next] [--crop x,y,w,h]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromStdString(mainCaption("demo", "/dev/ttyUSB0")));
    window.resize(kConsoleWidth, kConsoleHeight);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0, 196, 255));
    window.setPalette(pal);
    window.setAutoFillBackground(true);

    ControlModel model;
    ListModel sounds, effects;
    populateConsole(model);
    auto widgets =
        buildDialog(&window, consoleControls(), model, {{1003, &sounds}, {1340, &effects}});
    fillSample(model, sounds, effects);
    setPaintHook(widgets.at(1051), paintMonitorSketch);
    appendLogLine(widgets.at(1309), "IP device server started on port 5555", 0x808000);
    appendLogLine(widgets.at(1309), "Device 3: no answer", 0x000080);
    const QStringList args = app.arguments();
    if (args.contains("--next")) {
        for (const ControlDef& c : consoleControls())
            if (c.id != kNoId && c.has(kHidden))
                model.setVisible(c.id, true);
        for (int id : {1346, 1309})
            model.setVisible(id, false);
        for (QGroupBox* g : window.findChildren<QGroupBox*>())
            g->setVisible(g->title() == "Next step" ||
                          (g->title() != "Stage" && g->title() != "Log"));
    }
    window.show();
    app.processEvents();
    QRect area = window.rect();
    if (int i = int(args.indexOf("--crop")); i > 0 && i + 1 < args.size()) {
        const QStringList n = args[i + 1].split(',');
        if (n.size() == 4)
            area = QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
    }
    if (!window.grab(area).save(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    unbindDialog(&window);
    return 0;
}
