// Figures for the fixture windows: a pad repaint (room picture, screen-zone
// cover, spot), and the eight fixture ticks with their windows bound to the
// controllers (the widgets follow every slider move; painting is excluded).

#include "benchutil.h"
#include "console/inputstate.h"
#include "fixtures/fixturerig.h"
#include "windows/covscandlg.h"
#include "windows/ovmovinghead.h"

#include <QApplication>
#include <QPainter>

#include <memory>

using namespace orvane;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ControlModel console;
    Console desk(console);
    InputState input;
    JoystickSamples samples{};
    FixtureRig rig(desk, FixtureInputs{&input, [&] { return &samples; }});
    std::vector<std::unique_ptr<FixtureDialog>> windows;
    for (int n = 1; n <= kScannerCount; ++n)
        windows.push_back(std::make_unique<CovscanDlg>(rig.createScanner(n)));
    for (int n = 1; n <= kHeadCount; ++n)
        windows.push_back(std::make_unique<ovmovinghead>(rig.createHead(n)));

    // A pad repaint as the widget does it, double-buffered into an image.
    ovmovinghead& head = static_cast<ovmovinghead&>(*windows[4]);
    head.show();
    rig.head(2)->controls().setPos(1029, 255);
    QImage target(head.pad()->size(), QImage::Format_RGB32);
    int moves = 0;
    auto repaint = [&] {
        HeadBlock b;
        b.padX = moves++ % 400;
        b.padY = 100;
        rig.head(2)->setBlock(b);
        head.pad()->render(&target);
        bench::keep(target);
    };
    bench::sample(200, repaint);
    std::vector<double> us = bench::sample(3000, repaint);
    bench::figure("fixture_pad_repaint_p50", bench::percentile(us, 50), "us");
    bench::figure("fixture_pad_repaint_p99", bench::percentile(us, 99), "us");

    CovscanDlg& scanner = static_cast<CovscanDlg&>(*windows[0]);
    std::vector<double> scan = bench::sample(3000, [&] { scanner.pad()->render(&target); });
    bench::figure("fixture_scanner_pad_repaint_p99", bench::percentile(scan, 99), "us");

    input.keyDown(0x66);
    uint16_t x = 20000;
    auto period = [&] {
        x = uint16_t(x + 997);
        for (JoystickPosition& s : samples)
            s = {x, uint16_t(65535 - x), 1, x, true};
        rig.tickAll(1);
        rig.tickAll(2);
    };
    bench::sample(2000, period);
    std::vector<double> ticks = bench::sample(20000, period);
    bench::figure("fixture_ticks_bound_p99", bench::percentile(ticks, 99), "us");
    return 0;
}
