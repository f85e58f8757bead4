#pragma once
// "Timeline" (dialog 117): a vertical strip of consecutive steps, one row each
// with its number (the current one red and marked " >"), and in columns its
// name, its sound and its fade time, then a small picture of its light drawn
// by the frame preview painter. Rows, texts and pictures follow the window's
// size; colours come from the theme. A scroll
// bar on the left moves through the show, a zoom bar at the bottom widens or
// narrows the view, a double-click makes a step current. The view logic is
// TimelineState's; the rows come from StepPreviews, so a repaint composes only
// the steps that changed since they were last drawn. A step that has no entry
// in the show table yet shows its number and "(empty)", and no picture.
// User-interface thread only.

#include "panels/steppreviews.h"
#include "panels/timelinestate.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QPainter;

namespace orvane {

// Where a row's parts go across a client area of a given width.
struct TimelineColumns {
    int numberLeft = 0;
    int nameLeft = 0, nameWidth = 0;
    int soundLeft = 0, soundWidth = 0;
    int fadeLeft = 0, fadeWidth = 0;
    int pictureLeft = 0; // the picture is 2 units wide, 1 high
};

class timeline : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 117;

    // Owned by the main window `owner`; reads steps from `store`, composed with
    // the console's `options`; a double-click calls jumpTo(step).
    timeline(QWidget* owner, ShowStore& store, const ComposerOptions* options,
             std::function<void(int step)> jumpTo);
    ~timeline() override;

    TimelineState& state() { return *m_state; }
    StepPreviews& previews() { return m_previews; }
    QWidget* widget(int id) const;

    // Paints the client area as the window shows it (also off-screen).
    void paintRows(QPainter& p, QSize client);
    // The columns of a client area `width` wide with rows of this layout.
    static TimelineColumns columns(int width, const TimelineLayout& layout);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void placeBars();
    void onBarAction(int id, int action);
    const QImage& picture(int step, const StepPreview& preview, QSize size);

    std::unique_ptr<TimelineState> m_state;
    StepPreviews m_previews;
    std::map<int, QWidget*> m_widgets;
    struct Picture {
        QImage image;
        uint64_t stamp = 0;
    };
    std::vector<Picture> m_pictures;
};

} // namespace orvane
