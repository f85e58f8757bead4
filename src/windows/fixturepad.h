#pragma once
// The position pads of the fixture windows: the two room pictures (drawn once,
// 400 x 200) and the painting of a pad from what its controller says it shows.
// User-interface thread only.

#include "fixtures/fixtureview.h"

#include <QImage>
#include <QRect>

class QPainter;

namespace orvane {

// The scanners' view: the room seen from the scanners, a grey schematic.
const QImage& scannerRoomPicture();
// The moving heads' plan: the room from above, stage and screen at the top.
const QImage& headRoomPlan();

// Stretches the room picture over the pad, covers it in light grey in
// screen-zone mode, then draws the spot and its white centre pixel.
void paintPad(QPainter& p, QRect pad, const QImage& room, const PadPicture& picture);

} // namespace orvane
