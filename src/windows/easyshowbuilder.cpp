#include "windows/easyshowbuilder.h"

#include "panels/buildertable.h"
#include "show/language.h"
#include "windows/builderart.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"
#include "windows/theme.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

#include <array>

namespace orvane {

using namespace builder;

namespace {

using K = ControlKind;

constexpr int kBand = 40;        // height of the colour band
constexpr int kCaptionLift = 40; // caption boxes cover the cell's bottom 38 pixels

// The icons that are pressed: the nine drop icons and the three that act on
// the main window.
std::vector<int> pressedIcons() {
    std::vector<int> ids;
    for (const DropIcon& icon : kDropIcons)
        ids.push_back(icon.control);
    for (int id : {kPlay, kStopFade, kStop})
        ids.push_back(id);
    return ids;
}

// The picture an icon control shows.
int pictureOf(int control) {
    for (const DropIcon& icon : kDropIcons)
        if (icon.control == control)
            return icon.cursor;
    return control; // play, stop the fade and stop are known by their control
}

const char* const kListProperty = "orvane-builder-list";
const char* const kIconProperty = "orvane-builder-icon";

void drawPicture(QPainter& p, int number, int x, int y) {
    QPixmap picture = builderPicture(number);
    if (!picture.isNull())
        p.drawPixmap(x, y, picture);
}

// Text written twice, black and then white one pixel further, so that it reads
// on any colour.
void shadowText(QPainter& p, int x, int y, int width, const QString& text) {
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setPen(Qt::black);
    p.drawText(QRect(x, y, width, 20), flags, text);
    p.setPen(Qt::white);
    p.drawText(QRect(x + 1, y + 1, width, 20), flags, text);
}

void paintBand(QPainter& p, QRect cell, const CellPicture& c) {
    if (!c.gradient) {
        p.fillRect(QRect(cell.left(), cell.top(), cell.width(), kBand), toQColor(c.bandFrom));
        return;
    }
    for (int k = 0; k < cell.width(); ++k) {
        p.setPen(toQColor(gradientColour(c.bandFrom, c.bandTo, k, cell.width())));
        p.drawLine(cell.left() + k, cell.top(), cell.left() + k, cell.top() + kBand - 1);
    }
}

void paintLevelBar(QPainter& p, int x, int top, int redHeight) {
    p.fillRect(QRect(x, top + 52, 3, 50), Qt::white);
    p.fillRect(QRect(x, top + 102 - redHeight, 3, redHeight), Qt::red);
}

void paintCell(QPainter& p, QRect cell, const CellPicture& c) {
    const int left = cell.left(), right = cell.left() + cell.width(), top = cell.top();
    p.setClipRect(cell);
    const ViewColours& look = theme().colours();
    p.fillRect(cell, look.builderCell);
    p.setPen(look.builderFrame);
    p.drawRect(cell.adjusted(0, 0, -1, -1));
    paintBand(p, cell, c);
    shadowText(p, left + 5, top + 5, cell.width(), QString::fromStdString(c.number));
    shadowText(p, left + 5, top + 25, cell.width(), QString::fromStdString(c.ple));
    drawPicture(p, c.transitionArt, right - 50, top + 102);
    if (!c.fadeText.empty()) {
        p.setPen(look.builderText);
        p.drawText(QRect(right - 50, top + 150, 50, 20), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromStdString(c.fadeText));
    }
    if (c.stepSound) {
        drawPicture(p, kArtStepSound, right - 50, top + 52);
        paintLevelBar(p, right - 8, top, c.redBar2);
        paintLevelBar(p, right - 12, top, c.redBar1);
    }
    if (c.pause)
        drawPicture(p, kArtPause, left + 10, top + 52);
    if (c.playArt) {
        drawPicture(p, c.playArt, left + 10, top + 52);
        p.setPen(look.builderText);
        p.drawText(QRect(left + 10, top + 100, cell.width() - 70, 20),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   QString::fromStdString(c.playName));
    }
    if (c.current) {
        p.setPen(QPen(Qt::red, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell.adjusted(1, 1, -2, -2));
    }
    p.setClipping(false);
}

} // namespace

void paintBuilderStrip(QPainter& p, QRect area, const std::vector<CellPicture>& cells) {
    for (const CellPicture& c : cells)
        paintCell(p, QRect(area.left() + c.span.left, area.top(), c.span.width(), area.height()),
                  c);
}

easyshowbuilder::easyshowbuilder(ShowSession& session, ControlModel& mainControls,
                                 BuilderHooks hooks, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(translateQ("Builder", kCaption));
    setObjectName(QString::number(kDialogId));
    hooks.repaint = [this] {
        layoutCaptions();
        if (QWidget* strip = widget(kStrip))
            strip->update();
    };
    m_model = std::make_unique<ShowBuilder>(session, mainControls, std::move(hooks));
    setUpWidgets();
    m_model->init();
    m_timer.start(kTimerMs, this, [this] {
        m_model->tick();
        syncCursor();
    });
    m_timer.restWhen([this] { return !m_model->dragging(); });
}

easyshowbuilder::~easyshowbuilder() {
    // The model goes before the widgets: cut the binding first.
    unbindDialog(this);
    if (m_shownCursor)
        QApplication::restoreOverrideCursor();
}

void easyshowbuilder::setUpWidgets() {
    m_widgets =
        buildDialog(this, builderControls(), m_model->controls(),
                    {{kSoundList, &m_model->soundList()}, {kEffectList, &m_model->effectList()}});
    scaleWindow(this, QSize(kWindowWidth, kWindowHeight));
    QWidget* strip = widget(kStrip);
    strip->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The cells are laid out in the strip's pixels at scale 1, whatever the window's size.
    const QSize stripClient = designClientSize(strip);
    m_model->setStripSize(stripClient.width(), stripClient.height());
    setPaintHook(strip,
                 [this](QPainter& p, QRect r) { paintBuilderStrip(p, r, m_model->cells()); });
    for (int id : pressedIcons()) {
        QWidget* icon = widget(id);
        icon->setProperty(kIconProperty, id);
        icon->installEventFilter(this);
        setPaintHook(icon, [id](QPainter& p, QRect r) {
            p.fillRect(r, theme().colours().builderIconFace);
            drawPicture(p, pictureOf(id), r.left(), r.top());
        });
    }
    for (int id : {kSoundList, kEffectList}) {
        auto* list = static_cast<QListWidget*>(widget(id));
        list->viewport()->setProperty(kListProperty, id);
        list->viewport()->installEventFilter(this);
    }
    QFont captionFont("Arial", 10);
    for (int i = 0; i < kZoomMax; ++i) {
        // Two lines fit the box as they stand: no scroll bars, thin margins.
        auto* box = static_cast<QPlainTextEdit*>(widget(kFirstCaption + i));
        setDesignFont(box, captionFont);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->document()->setDocumentMargin(1);
    }
    // Enter belongs to the caption boxes and the duration field, never to a button.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

QWidget* easyshowbuilder::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

QPoint easyshowbuilder::toStrip(QPoint windowPoint) const {
    QWidget* strip = widget(kStrip);
    return designPoint(strip, strip->mapFrom(this, windowPoint));
}

// The caption boxes lie over the cells, in design units like the strip.
void easyshowbuilder::layoutCaptions() {
    QWidget* strip = widget(kStrip);
    const QRect stripPlace = designGeometry(strip);
    const QPoint frame = strip->contentsRect().topLeft();
    const QPoint origin = stripPlace.topLeft() + frame;
    const int height = m_model->stripHeight();
    for (int i = 0; i < m_model->captionCount(); ++i) {
        CellSpan span = m_model->cellSpan(i);
        QWidget* box = widget(kFirstCaption + i);
        setDesignGeometry(box,
                          QRect(origin.x() + span.left + 20, origin.y() + height - kCaptionLift,
                                std::max(span.width() - 20, 1), kCaptionLift - 2));
        box->raise();
    }
}

void easyshowbuilder::syncCursor() {
    int wanted = m_model->dragCursor();
    if (wanted == m_shownCursor)
        return;
    if (m_shownCursor)
        QApplication::restoreOverrideCursor();
    if (wanted)
        QApplication::setOverrideCursor(builderCursor(wanted));
    m_shownCursor = wanted;
}

void easyshowbuilder::leftReleasedAt(QPoint globalPoint) {
    QPoint at = toStrip(mapFromGlobal(globalPoint));
    m_model->drop(at.x(), at.y());
    syncCursor();
}

void easyshowbuilder::menuCommand(int command, QPoint windowPoint) {
    QPoint at = toStrip(windowPoint);
    m_model->menuCommand(command, at.x(), at.y());
}

void easyshowbuilder::contextMenu(QPoint windowPoint) {
    QMenu menu(this);
    for (auto [command, text] :
         {std::pair{kMenuInsert, kMenuInsertText}, std::pair{kMenuDelete, kMenuDeleteText},
          std::pair{kMenuDuplicate, kMenuDuplicateText}})
        menu.addAction(translateQ("Builder", text))->setData(command);
    if (QAction* chosen = menu.exec(mapToGlobal(windowPoint)))
        menuCommand(chosen->data().toInt(), windowPoint);
}

void easyshowbuilder::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        leftReleasedAt(event->globalPosition().toPoint());
    else if (event->button() == Qt::RightButton)
        contextMenu(event->position().toPoint());
}

void easyshowbuilder::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    QPoint at = toStrip(event->position().toPoint());
    m_model->doubleClick(at.x(), at.y());
}

bool easyshowbuilder::eventFilter(QObject* watched, QEvent* event) {
    QVariant list = watched->property(kListProperty);
    if (list.isValid())
        return listEvent(list.toInt(), event);
    QVariant icon = watched->property(kIconProperty);
    if (icon.isValid())
        return iconEvent(icon.toInt(), event);
    return QDialog::eventFilter(watched, event);
}

// A drag leaves a list once the pressed item has moved far enough; the list
// keeps the mouse until the button is let go, so the drop comes back here.
bool easyshowbuilder::listEvent(int listId, QEvent* event) {
    auto* list = static_cast<QListWidget*>(widget(listId));
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton)
            m_press = {listId, list->indexAt(e->position().toPoint()).row(),
                       e->position().toPoint()};
        return false;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (m_model->dragging())
            return true; // the selection stays on the dragged item
        if (!(e->buttons() & Qt::LeftButton) || m_press.list != listId || m_press.item < 0 ||
            (e->position().toPoint() - m_press.at).manhattanLength() <
                QApplication::startDragDistance())
            return false;
        listId == kSoundList ? m_model->beginSoundDrag(m_press.item)
                             : m_model->beginEffectDrag(m_press.item);
        syncCursor();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        m_press = {};
        if (e->button() != Qt::LeftButton || !m_model->dragging())
            return false;
        leftReleasedAt(e->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}

// Pressing an icon starts its drag (or acts on the main window); the icon
// keeps the mouse until the button is let go, so the drop comes back here.
bool easyshowbuilder::iconEvent(int icon, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() != Qt::LeftButton)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        m_model->controls().click(icon);
        syncCursor();
    } else {
        leftReleasedAt(e->globalPosition().toPoint());
    }
    return true;
}

void easyshowbuilder::done(int result) {
    m_timer.stop();
    m_model->cancelDrag();
    syncCursor();
    m_model->close();
    QDialog::done(result);
}

} // namespace orvane
