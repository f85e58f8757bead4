#pragma once
// Fixed layouts that follow the size of their window. A dialog's control table
// places its controls in design units (the layout's pixels at scale 1); once a
// DialogScale watches the widget that holds them, every control is placed
// again, and its font sized again, whenever that widget is resized. Geometry
// follows the width and the height apart, so the layout fills the window;
// fonts follow the smaller of the two and never go below kMinimumPoints.
//
// Owner-drawn areas keep working in design units: their painter is scaled (a
// paint hook still sees the design rectangle), and designPoint() maps a point
// of such an area back into it, so logic that counts in an area's pixels (the
// fixture pads, the builder's strip, the colour pads) never sees the scale.
//
// User-interface thread only.

#include <QFont>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <vector>

class QWidget;

namespace orvane {

// Text is never drawn smaller than this, whatever the scale. Below the scale
// where a font would need to be smaller, it keeps this height and narrows
// instead (down to kNarrowestStretch percent), so that a caption still fits
// the box its layout gives it.
constexpr double kMinimumPoints = 8;
constexpr int kNarrowestStretch = 62;

// Tool windows shrink down to this share of their layout, and no further.
constexpr double kToolFloorScale = 0.6;

struct ScaleFactors {
    double x = 1;
    double y = 1;
    double font() const { return x < y ? x : y; }
};

// Where a widget sits at scale 1, relative to its parent. buildDialog records
// it for every control it makes; a widget added by hand to a scaled dialog
// calls this instead of setGeometry. The widget is placed at once, at its
// parent's current scale.
void setDesignGeometry(QWidget* w, QRect design);
// The design place recorded for w; an invalid rectangle when there is none.
QRect designGeometry(const QWidget* w);
// The font w shows at scale 1 (buildDialog records the table's); set at once
// at its parent's current scale.
void setDesignFont(QWidget* w, const QFont& font);
// The point size and the stretch (percent) a font of `points` at scale 1
// takes at factor f.
double scaledPoints(double points, double f);
int scaledStretch(double points, double f);
// A design rectangle at the given factors, edges rounded so that neighbours
// stay neighbours.
QRect scaledRect(QRect design, ScaleFactors f);

class DialogScale : public QObject {
    Q_OBJECT
public:
    // host holds the controls (as direct children); design is its size at
    // scale 1. Owned by host. Places everything for host's present size.
    DialogScale(QWidget* host, QSize design);

    // The scale of host, or null when host does not scale.
    static DialogScale* of(const QWidget* host);

    QSize designSize() const { return m_design; }
    ScaleFactors factors() const { return m_factors; }
    // Runs after every change of scale (style sheets sized in pixels, places
    // that the window works out itself).
    void onScaled(std::function<void(ScaleFactors)> hook);
    // Places every control for host's present size.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_host;
    QSize m_design;
    ScaleFactors m_factors;
    std::vector<std::function<void(ScaleFactors)>> m_hooks;
};

// The client size a window opens at: its design size, made smaller with its
// proportions kept until it fits `room`, never below floor x design (a window
// that cannot fit then shows its floor and scrolls or spills over).
QSize fittedSize(QSize design, QSize room, double floor);

// The room the screen of `window` leaves for a window's client area: its
// available area less the frame a window manager adds (the window's own
// frame once it has one, else an allowance for a title bar and borders).
QRect clientRoom(const QWidget* window);
// Gives `window` the client size `size`, centred in the room of its screen.
void placeCentred(QWidget* window, QSize size);

// A tool window with a fixed layout of `design` size that scales with it:
// it opens at its design size fitted to the screen, and is never made
// smaller than floor x design.
DialogScale* scaleWindow(QWidget* window, QSize design, double floor = kToolFloorScale);

// A point of an owner-drawn area, in the area's widget coordinates, as the
// area's client coordinates in design units (0,0 at the client's top left).
QPoint designPoint(const QWidget* area, QPoint widgetPoint);
// The client size of an owner-drawn area in design units.
QSize designClientSize(const QWidget* area);

} // namespace orvane
