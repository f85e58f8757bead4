#include "windows/dialogscale.h"

#include <QEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

const char* const kDesignRect = "orvane-design-rect";
const char* const kDesignPoints = "orvane-design-points";
const char* const kScaleName = "orvane-dialog-scale";
// A title bar and thin borders, for a window no window manager has framed yet.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 40;

ScaleFactors factorsOf(const QWidget* w) {
    const DialogScale* s = w ? DialogScale::of(w->parentWidget()) : nullptr;
    return s ? s->factors() : ScaleFactors{};
}

// A font of `points` at scale 1, at factor f.
void scaleFont(QFont& font, double points, double f) {
    font.setPointSizeF(scaledPoints(points, f));
    font.setStretch(scaledStretch(points, f));
}

void applyFont(QWidget* w, double f) {
    QVariant points = w->property(kDesignPoints);
    if (!points.isValid())
        return;
    QFont font = w->font();
    const double want = scaledPoints(points.toDouble(), f);
    if (std::abs(font.pointSizeF() - want) < 0.01 &&
        font.stretch() == scaledStretch(points.toDouble(), f))
        return;
    scaleFont(font, points.toDouble(), f);
    w->setFont(font);
}

void place(QWidget* w, ScaleFactors f) {
    QVariant rect = w->property(kDesignRect);
    if (rect.isValid())
        w->setGeometry(scaledRect(rect.toRect(), f));
    applyFont(w, f.font());
}

} // namespace

double scaledPoints(double points, double f) {
    return std::max(kMinimumPoints, points * f);
}

int scaledStretch(double points, double f) {
    const double wanted = points * f;
    if (wanted >= kMinimumPoints)
        return QFont::Unstretched;
    return std::max(kNarrowestStretch, int(std::lround(100 * wanted / kMinimumPoints)));
}

QRect scaledRect(QRect design, ScaleFactors f) {
    const int x0 = int(std::lround(design.x() * f.x));
    const int y0 = int(std::lround(design.y() * f.y));
    const int x1 = int(std::lround((design.x() + design.width()) * f.x));
    const int y1 = int(std::lround((design.y() + design.height()) * f.y));
    return QRect(x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0));
}

void setDesignGeometry(QWidget* w, QRect design) {
    w->setProperty(kDesignRect, design);
    w->setGeometry(scaledRect(design, factorsOf(w)));
}

QRect designGeometry(const QWidget* w) {
    QVariant rect = w ? w->property(kDesignRect) : QVariant();
    return rect.isValid() ? rect.toRect() : QRect();
}

void setDesignFont(QWidget* w, const QFont& font) {
    // A font sized in pixels has no point size: take the one it shows.
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
    w->setProperty(kDesignPoints, points);
    QFont scaled = font;
    scaleFont(scaled, points, factorsOf(w).font());
    w->setFont(scaled);
}

DialogScale::DialogScale(QWidget* host, QSize design)
    : QObject(host), m_host(host), m_design(design) {
    setObjectName(kScaleName);
    host->installEventFilter(this);
    apply();
}

DialogScale* DialogScale::of(const QWidget* host) {
    if (!host)
        return nullptr;
    return host->findChild<DialogScale*>(kScaleName, Qt::FindDirectChildrenOnly);
}

void DialogScale::onScaled(std::function<void(ScaleFactors)> hook) {
    m_hooks.push_back(std::move(hook));
}

void DialogScale::apply() {
    if (m_design.isEmpty())
        return;
    m_factors = {double(m_host->width()) / m_design.width(),
                 double(m_host->height()) / m_design.height()};
    for (QObject* child : m_host->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
            place(w, m_factors);
    for (const auto& hook : m_hooks)
        hook(m_factors);
}

bool DialogScale::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_host && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

QSize fittedSize(QSize design, QSize room, double floor) {
    if (design.isEmpty())
        return design;
    double f = std::min(
        {1.0, double(room.width()) / design.width(), double(room.height()) / design.height()});
    f = std::max(f, floor);
    return QSize(int(std::floor(design.width() * f)), int(std::floor(design.height() * f)));
}

QRect clientRoom(const QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    // Without a window manager nothing frames the window: the allowance then
    // only makes it a little smaller than the screen.
    if (frame.isEmpty())
        frame = QSize(kFrameWidth, kFrameHeight);
    return room.adjusted(0, 0, -frame.width(), -frame.height());
}

void placeCentred(QWidget* window, QSize size) {
    const QRect room = clientRoom(window);
    window->resize(size);
    window->move(room.x() + std::max(0, (room.width() - size.width()) / 2),
                 room.y() + std::max(0, (room.height() - size.height()) / 2));
}

DialogScale* scaleWindow(QWidget* window, QSize design, double floor) {
    auto* scale = new DialogScale(window, design);
    window->setMinimumSize(design * floor);
    window->resize(fittedSize(design, clientRoom(window).size(), floor));
    return scale;
}

QSize designClientSize(const QWidget* area) {
    const QRect design = designGeometry(area);
    const QRect inner = area->contentsRect();
    if (!design.isValid())
        return inner.size();
    // The frame keeps its width at every scale.
    return design.size() - (area->size() - inner.size());
}

QPoint designPoint(const QWidget* area, QPoint widgetPoint) {
    const QRect inner = area->contentsRect();
    const QSize client = designClientSize(area);
    const QPoint at = widgetPoint - inner.topLeft();
    if (inner.width() <= 0 || inner.height() <= 0)
        return at;
    return QPoint(int(std::floor(double(at.x()) * client.width() / inner.width())),
                  int(std::floor(double(at.y()) * client.height() / inner.height())));
}

} // namespace orvane
