#pragma once
// "Easy show builder" (dialog 126): the builder's widgets over its control
// model. The strip is drawn from the model's cell pictures; the caption boxes
// lie over the bottom of each cell. Sounds and effects are dragged out of the
// two lists and icons off their pictures with the left button held, and
// dropped where the button is let go; a release outside the window cancels.
// The right button opens the step's context menu, a double click picks up a
// step's levels and fade time. User-interface thread only.

#include "panels/showbuilder.h"
#include "windows/sharedtick.h"

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <map>
#include <memory>
#include <vector>

class QPainter;

namespace orvane {

class ShowSession;

// Draws the cells into the strip's client area (cell coordinates are relative
// to its top left corner).
void paintBuilderStrip(QPainter& p, QRect area, const std::vector<CellPicture>& cells);

class easyshowbuilder : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = builder::kDialogId;

    // hooks.repaint is the window's own; the other hooks reach the main window.
    easyshowbuilder(ShowSession& session, ControlModel& mainControls, BuilderHooks hooks,
                    QWidget* parent = nullptr);
    ~easyshowbuilder() override;

    ShowBuilder& model() { return *m_model; }
    QWidget* widget(int id) const;
    // A point of the window in the strip's client coordinates.
    QPoint toStrip(QPoint windowPoint) const;
    // Runs a context-menu command as if chosen at a point of the window.
    void menuCommand(int command, QPoint windowPoint);
    // The cursor the window shows now (a drag cursor number, 0 for the arrow).
    int shownCursor() const { return m_shownCursor; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setUpWidgets();
    void layoutCaptions();
    void syncCursor();
    void leftReleasedAt(QPoint globalPoint);
    void contextMenu(QPoint windowPoint);
    bool listEvent(int listId, QEvent* event);
    bool iconEvent(int icon, QEvent* event);

    std::unique_ptr<ShowBuilder> m_model;
    std::map<int, QWidget*> m_widgets;
    SharedTick m_timer;
    int m_shownCursor = 0;
    struct Press {
        int list = 0;
        int item = -1;
        QPoint at;
    } m_press;
};

} // namespace orvane
