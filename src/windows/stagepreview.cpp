#include "windows/stagepreview.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace orvane {

namespace {

QColor qgrey(int v) {
    return QColor(v, v, v);
}

// Channels of the stage preview, 1-based as the stage plan names them.
constexpr int kFloor = 1;
constexpr int kFirstFloorBeam = 2; // 2..12
constexpr int kFloorBeams = 11;
constexpr int kLeftBeams = 13;  // 13, 14
constexpr int kRightBeams = 15; // 15, 16
constexpr int kLineSwitch = 24;
constexpr int kLineColour = 86; // 86..88
struct Spot {
    int channel; // red; green and blue follow
    int sixths;  // centre, in sixths of the width
};
constexpr Spot kSpots[] = {{35, 2}, {43, 1}, {51, 5}, {47, 4}};

class Stage {
public:
    Stage(QImage& image, const Universe& u) : m_p(&image), m_u(u) {
        m_w = image.width();
        m_h = image.height();
        m_floorTop = m_h - m_h / 10;
        m_p.setPen(Qt::NoPen);
        m_p.setRenderHint(QPainter::Antialiasing, false);
        // Each shape lands on what is there already as a bitwise OR, which is
        // drawing it on black alone and combining the two pictures.
        m_p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    }

    void draw() {
        shape(QRect(0, m_floorTop, m_w, m_h - m_floorTop), ch(kFloor));
        floorBeams();
        sideBeams();
        spots();
        line();
        m_p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        m_p.setPen(Qt::white);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawRect(0, 0, m_w - 1, m_h - 1);
    }

private:
    int ch(int channel) const { return m_u[size_t(channel - 1)]; }

    void shape(const QRect& r, int level) {
        if (level != 0)
            m_p.fillRect(r, qgrey(level));
    }
    void beam(const QPolygon& triangle, int level) {
        if (level == 0)
            return;
        m_p.setBrush(qgrey(level));
        m_p.drawPolygon(triangle);
    }

    void floorBeams() {
        // One every 1/14 of the width, centred; neighbours overlap at the top.
        int half = m_w / 14;
        for (int k = 0; k < kFloorBeams; ++k) {
            int x = (k + 2) * m_w / 14;
            beam(QPolygon({QPoint(x, m_floorTop), QPoint(x - half, 0), QPoint(x + half, 0)}),
                 ch(kFirstFloorBeam + k));
        }
    }

    void sideBeams() {
        int reach = m_w * 3 / 5;
        for (int j = 0; j < 2; ++j) {
            int y = m_h * (15 + 20 * j) / 100;
            int y0 = y + m_h / 5;
            int y1 = y + m_h * 2 / 5;
            beam(QPolygon({QPoint(0, y), QPoint(reach, y0), QPoint(reach, y1)}),
                 ch(kLeftBeams + j));
            int x = m_w - 1;
            beam(QPolygon({QPoint(x, y), QPoint(x - reach, y0), QPoint(x - reach, y1)}),
                 ch(kRightBeams + j));
        }
    }

    void spots() {
        int r = std::max(2, std::min(m_w, m_h) / 8);
        for (const Spot& s : kSpots) {
            int red = ch(s.channel), green = ch(s.channel + 1), blue = ch(s.channel + 2);
            if ((red | green | blue) == 0)
                continue;
            m_p.setBrush(QColor(red, green, blue));
            m_p.drawEllipse(QPoint(s.sixths * m_w / 6, m_h / 2), r, r);
        }
    }

    void line() {
        if (ch(kLineSwitch) < 128)
            return;
        QColor c(ch(kLineColour), ch(kLineColour + 1), ch(kLineColour + 2));
        m_p.fillRect(QRect(1, m_h - 4, std::max(0, m_w - 2), 2), c);
    }

    QPainter m_p;
    const Universe& m_u;
    int m_w = 0;
    int m_h = 0;
    int m_floorTop = 0;
};

} // namespace

QImage renderStage(const Universe& universe, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    if (size.width() >= 2 && size.height() >= 2)
        Stage(image, universe).draw();
    return image;
}

} // namespace orvane
