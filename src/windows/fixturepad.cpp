#include "windows/fixturepad.h"

#include "windows/dialogbuilder.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace orvane {

namespace {

const QColor kWall(96, 96, 96);
const QColor kFloor(150, 150, 150);
const QColor kLine(60, 60, 60);
const QColor kLight(200, 200, 200);

QImage blankPicture(const QColor& fill) {
    QImage image(kPadWidth, kPadHeight, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// Back wall, side walls and floor in perspective, a stage along the back wall
// and the screen above it: what a scanner's mirror sweeps over.
QImage drawScannerRoom() {
    QImage image = blankPicture(kWall);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF floor({{60, 120}, {340, 120}, {400, 200}, {0, 200}});
    p.setPen(Qt::NoPen);
    p.setBrush(kFloor);
    p.drawPolygon(floor);
    p.setBrush(QColor(120, 120, 120));
    p.drawRect(QRectF(60, 20, 280, 100)); // back wall
    p.setPen(QPen(kLine, 1));
    for (int i = 1; i < 8; ++i) { // floor boards toward the back wall
        double t = i / 8.0;
        p.drawLine(QPointF(60 + 280 * t, 120), QPointF(400 * t, 200));
    }
    for (double y : {135.0, 155.0, 178.0})
        p.drawLine(QPointF(60 - (y - 120) * 0.75, y), QPointF(340 + (y - 120) * 0.75, y));
    p.setPen(QPen(kLine, 2));
    p.drawLine(QPointF(0, 0), QPointF(60, 20));
    p.drawLine(QPointF(400, 0), QPointF(340, 20));
    p.drawLine(QPointF(60, 120), QPointF(0, 200));
    p.drawLine(QPointF(340, 120), QPointF(400, 200));
    p.setBrush(QColor(80, 80, 80)); // stage
    p.drawRect(QRectF(100, 100, 200, 20));
    p.setBrush(kLight); // screen
    p.drawRect(QRectF(140, 34, 120, 56));
    return image;
}

// The room from above: stage with the screen along the top wall, the heads'
// bar over the stage, the dance floor and the audience rows.
QImage drawHeadPlan() {
    QImage image = blankPicture(QColor(140, 140, 140));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kLine, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 2, 396, 196)); // walls
    p.setPen(QPen(kLine, 1));
    p.setBrush(QColor(100, 100, 100));
    p.drawRect(QRectF(80, 4, 240, 50)); // stage
    p.setBrush(kLight);
    p.drawRect(QRectF(130, 6, 140, 8)); // screen
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::DashLine));
    p.drawLine(QPointF(90, 62), QPointF(310, 62)); // truss with the heads
    p.setPen(QPen(kLine, 1));
    p.setBrush(QColor(165, 165, 165));
    p.drawRect(QRectF(110, 80, 180, 60)); // dance floor
    for (int row = 0; row < 3; ++row)     // audience rows
        for (int seat = 0; seat < 14; ++seat)
            p.drawRect(QRectF(60 + seat * 20, 150 + row * 14, 14, 9));
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(4, 160, 30, 36)); // door
    return image;
}

// Far-away pad points are drawn at the edge of what QPainter handles safely.
int drawable(int v) {
    return std::clamp(v, -100000, 100000);
}

} // namespace

const QImage& scannerRoomPicture() {
    static const QImage image = drawScannerRoom();
    return image;
}

const QImage& headRoomPlan() {
    static const QImage image = drawHeadPlan();
    return image;
}

void paintPad(QPainter& p, QRect pad, const QImage& room, const PadPicture& picture) {
    p.drawImage(pad, room);
    if (picture.zone) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(211, 211, 211));
        p.drawRect(pad.adjusted(0, 0, -1, -1));
    }
    const QPoint centre(pad.left() + drawable(picture.x), pad.top() + drawable(picture.y));
    if (picture.radius > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(toQColor(picture.colour));
        p.drawEllipse(centre, picture.radius, picture.radius);
    }
    p.setPen(Qt::white);
    p.drawPoint(centre);
}

} // namespace orvane
