#include "windows/covscandlg.h"

#include "fixtures/fixturecontrols.h"
#include "show/language.h"
#include "windows/fixturepad.h"

#include <QRect>

#include <map>

namespace orvane {

namespace {

// The pad's client area is the room picture's size; the frame takes one pixel.
const QRect kPadRect(10, 10, kPadWidth + 2, kPadHeight + 2);
constexpr int kRowX = 424, kRowTop = 12, kRowStep = 28;

std::map<int, QRect> scannerGeometry() {
    using namespace scanner;
    std::map<int, QRect> g;
    g[fixture::kPad] = kPadRect;
    for (size_t i = 0; i < kSliders.size(); ++i) {
        int y = kRowTop + int(i) * kRowStep;
        int s = kSliders[i];
        g[s + head::kRowLabelOffset] = QRect(kRowX, y, 70, 22);
        g[s] = QRect(kRowX + 72, y, 180, 22);
        if (i < kValueTexts.size())
            g[kValueTexts[i]] = QRect(kRowX + 256, y, 40, 22);
    }
    // Both models' colour buttons share the space below the pad; one set shows.
    for (size_t i = 0; i < kSixChannelColours.size(); ++i)
        g[kSixChannelColours[i].id] = QRect(10 + int(i) * 88, 224, 84, 26);
    for (size_t i = 0; i < kFourChannelColours.size(); ++i)
        g[kFourChannelColours[i].id] = QRect(10 + int(i % 6) * 88, 224 + int(i / 6) * 30, 84, 26);
    g[kGoboLabel] = QRect(10, 292, 50, 22);
    g[kGobo] = QRect(62, 292, 40, 22);
    g[kGoboSpin] = QRect(104, 292, 18, 22);
    g[fixture::kRaw] = QRect(200, 292, 120, 22);
    return g;
}

} // namespace

std::vector<ControlDef> CovscanDlg::controlTable() {
    static const std::map<int, QRect> geometry = scannerGeometry();
    return fixtureControlTable(scanner::controls(), geometry, {scanner::kGobo});
}

QSize CovscanDlg::clientSize() {
    return QSize(724, 326);
}

CovscanDlg::CovscanDlg(ScannerController& c, QWidget* parent)
    : FixtureDialog(parent, translateQ("Fixture windows", "Scanner %1").arg(c.number()),
                    controlTable(), clientSize(), scannerRoomPicture(), bindingOf(c)) {
    setObjectName(QString::number(kDialogId));
}

} // namespace orvane
