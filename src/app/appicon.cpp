#include "app/appicon.h"

#include <QPainter>
#include <QPixmap>

namespace orvane {

static QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 196, 255));
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    // Three beams from a lamp at the top, in the console's colours.
    const QColor beams[] = {QColor(255, 60, 60, 220), QColor(255, 230, 80, 220),
                            QColor(60, 255, 120, 220)};
    for (int i = 0; i < 3; ++i) {
        qreal x = size * (0.25 + 0.25 * i);
        QPolygonF beam;
        beam << QPointF(size / 2.0, size * 0.18) << QPointF(x - size * 0.12, size * 0.9)
             << QPointF(x + size * 0.12, size * 0.9);
        p.setBrush(beams[i]);
        p.drawPolygon(beam);
    }
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(size / 2.0, size * 0.16), size * 0.1, size * 0.1);
    return pixmap;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace orvane
