#include "windows/builderart.h"

#include "panels/buildercells.h"
#include "panels/showbuilder.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPolygonF>

#include <map>

namespace orvane {

namespace {

// Every picture is drawn on a 32 x 32 canvas and scaled by the painter.
using Draw = void (*)(QPainter&);

const QColor kInk(20, 20, 20);
const QColor kGreen(0, 160, 60);
const QColor kRed(210, 30, 30);
const QColor kBlue(30, 90, 220);
const QColor kOrange(240, 140, 0);

void pen(QPainter& p, const QColor& c, double width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// A quaver: the sign of a sound.
void note(QPainter& p, double x, double y, double scale, const QColor& c) {
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    p.setBrush(c);
    pen(p, c, 2.0);
    p.drawEllipse(QRectF(0, 14, 8, 6));
    p.drawLine(QPointF(8, 17), QPointF(8, 0));
    p.drawLine(QPointF(8, 0), QPointF(14, 5));
    p.restore();
}

// A loudspeaker with the given number of sound waves.
void speaker(QPainter& p, int waves, const QColor& c) {
    p.setBrush(c);
    pen(p, c, 1.5);
    p.drawPolygon(QPolygonF({{3, 12}, {9, 12}, {16, 5}, {16, 27}, {9, 20}, {3, 20}}));
    p.setBrush(Qt::NoBrush);
    pen(p, c, 2.0);
    for (int w = 0; w < waves; ++w) {
        double r = 5 + 5 * w;
        p.drawArc(QRectF(16 - r, 16 - r, 2 * r, 2 * r), -50 * 16, 100 * 16);
    }
}

void cross(QPainter& p, QRectF r, const QColor& c) {
    pen(p, c, 3.5);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void playTriangle(QPainter& p, QRectF r, const QColor& c) {
    p.setBrush(c);
    pen(p, c.darker(140), 1.0);
    p.drawPolygon(QPolygonF({r.topLeft(), QPointF(r.right(), r.center().y()), r.bottomLeft()}));
}

void drawTimed(QPainter& p) {
    p.setBrush(Qt::white);
    pen(p, kInk, 2.0);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setBrush(QColor(0, 160, 60, 110));
    p.setPen(Qt::NoPen);
    p.drawPie(QRectF(4, 4, 24, 24), 90 * 16, -120 * 16);
    pen(p, kInk, 2.5);
    p.drawLine(QPointF(16, 16), QPointF(16, 7));
    p.drawLine(QPointF(16, 16), QPointF(23, 19));
}

void drawStepSound(QPainter& p) {
    speaker(p, 0, kInk);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == 2 ? kRed : kGreen);
        p.drawRect(QRectF(19 + 4 * i, 22 - 6 * i, 3, 6 + 6 * i));
    }
}

void drawManual(QPainter& p) {
    p.setBrush(QColor(235, 235, 235));
    pen(p, kInk, 2.0);
    p.drawRoundedRect(QRectF(3, 3, 26, 26), 5, 5);
    pen(p, kBlue, 4.0);
    p.drawLine(QPointF(16, 9), QPointF(16, 23));
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
}

void drawPlaySound(QPainter& p) {
    note(p, 1, 4, 1.2, kInk);
    playTriangle(p, QRectF(17, 12, 13, 16), kGreen);
}

void drawStopSound(QPainter& p) {
    note(p, 2, 4, 1.2, kInk);
    cross(p, QRectF(17, 14, 12, 12), kRed);
}

void drawEndOfSound(QPainter& p) {
    note(p, 0, 2, 1.0, kInk);
    pen(p, kBlue, 3.0);
    p.drawLine(QPointF(4, 26), QPointF(24, 26));
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({{21, 21}, {27, 26}, {21, 31}}));
    pen(p, kInk, 3.0);
    p.drawLine(QPointF(29, 18), QPointF(29, 31));
}

void drawPause(QPainter& p) {
    p.setBrush(kOrange);
    pen(p, kOrange.darker(150), 1.0);
    p.drawRect(QRectF(7, 6, 6, 20));
    p.drawRect(QRectF(19, 6, 6, 20));
    p.setBrush(Qt::NoBrush);
    pen(p, kInk, 2.0);
    p.drawArc(QRectF(2, 2, 28, 28), 200 * 16, 140 * 16);
    p.drawLine(QPointF(27, 22), QPointF(29, 27));
}

void drawSoundFile(QPainter& p) {
    p.setBrush(QColor(255, 255, 220));
    pen(p, kInk, 1.5);
    p.drawRect(QRectF(5, 2, 22, 28));
    note(p, 9, 6, 1.0, kBlue);
}

void drawEffectFile(QPainter& p) {
    const QColor cells[] = {kRed, kGreen, kBlue};
    pen(p, kInk, 1.5);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(cells[i]);
        p.drawRect(QRectF(2 + 10 * i, 8, 9, 16));
    }
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(3 + 3.6 * i, 10, 1.6, 2));
        p.drawRect(QRectF(3 + 3.6 * i, 20, 1.6, 2));
    }
}

void drawCancelLevel(QPainter& p) {
    speaker(p, 2, QColor(130, 130, 130));
    pen(p, kRed, 3.0);
    p.drawLine(QPointF(3, 29), QPointF(29, 3));
}

void drawSetLevel(QPainter& p) {
    speaker(p, 2, kInk);
    p.setBrush(kGreen);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(26, 4, 4, 24));
}

void drawRudeFade(QPainter& p) {
    pen(p, kRed, 3.5);
    p.drawPolyline(QPolygonF({{3, 26}, {16, 26}, {16, 6}, {29, 6}}));
}

void drawSoftFade(QPainter& p) {
    pen(p, kBlue, 3.5);
    QPainterPath curve(QPointF(3, 26));
    curve.cubicTo(QPointF(16, 26), QPointF(16, 6), QPointF(29, 6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
}

void drawPlay(QPainter& p) {
    playTriangle(p, QRectF(6, 4, 22, 24), kGreen);
}

void drawStopFade(QPainter& p) {
    pen(p, kBlue, 3.0);
    p.drawLine(QPointF(3, 27), QPointF(18, 8));
    p.setBrush(kRed);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(21, 5, 4, 22));
    p.drawRect(QRectF(27, 5, 4, 22));
}

void drawStop(QPainter& p) {
    p.setBrush(kRed);
    pen(p, kRed.darker(150), 1.0);
    p.drawRect(QRectF(6, 6, 20, 20));
}

const std::map<int, Draw>& drawings() {
    using namespace builder;
    static const std::map<int, Draw> table = {
        {kArtTimed, drawTimed},
        {kArtStepSound, drawStepSound},
        {kArtManual, drawManual},
        {kArtPlaySound, drawPlaySound},
        {kArtStopSound, drawStopSound},
        {kArtEndOfSound, drawEndOfSound},
        {kArtPause, drawPause},
        {kSoundCursor, drawSoundFile},
        {kEffectCursor, drawEffectFile},
        {kDropIcons[0].cursor, drawStopSound},
        {kDropIcons[1].cursor, drawManual},
        {kDropIcons[2].cursor, drawTimed},
        {kDropIcons[3].cursor, drawEndOfSound},
        {kDropIcons[4].cursor, drawCancelLevel},
        {kDropIcons[5].cursor, drawSetLevel},
        {kDropIcons[6].cursor, drawRudeFade},
        {kDropIcons[7].cursor, drawSoftFade},
        {kDropIcons[8].cursor, drawPause},
        {kArtPlay, drawPlay},
        {kArtStopFade, drawStopFade},
        {kArtStop, drawStop},
    };
    return table;
}

// The pointer drawn into the top left corner of a drag cursor.
void arrow(QPainter& p) {
    p.setBrush(Qt::white);
    pen(p, Qt::black, 1.0);
    p.drawPolygon(QPolygonF({{0, 0}, {0, 15}, {4, 11}, {7, 17}, {9, 16}, {6, 10}, {11, 10}}));
}

} // namespace

QPixmap builderPicture(int number, int size) {
    // Qt's pixmap cache, so that no pixmap outlives the application.
    const QString key = QStringLiteral("orvane-builder-%1-%2").arg(number).arg(size);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    auto draw = drawings().find(number);
    if (draw == drawings().end() || size <= 0)
        return {};
    pixmap = QPixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw->second(p);
    p.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QCursor builderCursor(int number) {
    QPixmap picture = builderPicture(number, 22);
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    QPixmap canvas(32, 32);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(10, 10, picture);
    arrow(p);
    p.end();
    return QCursor(canvas, 0, 0);
}

} // namespace orvane
