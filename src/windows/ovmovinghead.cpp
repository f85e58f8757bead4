#include "windows/ovmovinghead.h"

#include "fixtures/fixturecontrols.h"
#include "show/language.h"
#include "windows/fixturepad.h"

#include <QRect>

#include <map>

namespace orvane {

namespace {

const QRect kPadRect(10, 10, kPadWidth + 2, kPadHeight + 2);
constexpr int kRowX = 424, kRowTop = 8, kRowStep = 23;

std::map<int, QRect> headGeometry() {
    using namespace head;
    std::map<int, QRect> g;
    g[fixture::kPad] = kPadRect;
    for (int i = 0; i < kSliderCount; ++i) {
        int y = kRowTop + i * kRowStep;
        int s = kFirstSlider + i;
        g[s + kRowLabelOffset] = QRect(kRowX, y, 104, 21);
        g[s] = QRect(kRowX + 106, y, 190, 21);
        g[kValueTexts[size_t(i)]] = QRect(kRowX + 300, y, 48, 21);
        if (i < int(kAllBoxes.size()))
            g[kAllBoxes[size_t(i)]] = QRect(kRowX + 350, y, 48, 21);
    }
    for (size_t i = 0; i < kColours.size(); ++i)
        g[kColours[i].id] = QRect(10 + int(i % 6) * 67, 222 + int(i / 6) * 30, 64, 26);
    g[kScreenZone] = QRect(10, 288, 110, 24);
    g[kCopyThis] = QRect(150, 286, 84, 28);
    g[kCopyAll] = QRect(238, 286, 84, 28);
    g[kPaste] = QRect(326, 286, 84, 28);
    g[fixture::kRaw] = QRect(10, 316, 110, 20);
    return g;
}

} // namespace

std::vector<ControlDef> ovmovinghead::controlTable() {
    static const std::map<int, QRect> geometry = headGeometry();
    return fixtureControlTable(head::controls(), geometry);
}

QSize ovmovinghead::clientSize() {
    return QSize(832, 336);
}

ovmovinghead::ovmovinghead(MovingHeadController& c, QWidget* parent)
    : FixtureDialog(parent, translateQ("Fixture windows", "Moving head %1").arg(c.number()),
                    controlTable(), clientSize(), headRoomPlan(), bindingOf(c)) {
    setObjectName(QString::number(kDialogId));
}

} // namespace orvane
