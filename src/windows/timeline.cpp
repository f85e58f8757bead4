#include "windows/timeline.h"

#include "panels/timelinetable.h"
#include "show/language.h"
#include "show/textutil.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"
#include "windows/stagepreview.h"
#include "windows/theme.h"

#include <QAbstractSlider>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace orvane {

using namespace timelinewindow;

namespace {

constexpr int kBar = kBarWidth;
constexpr int kGap = 8;
// Opening, the window keeps at least this share of its size on a small screen.
constexpr double kOpenFloor = 0.5;

QFont pixelFont(int pixels, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, pixels));
    font.setBold(bold);
    return font;
}

ScrollAction actionOf(int sliderAction) {
    switch (sliderAction) {
    case QAbstractSlider::SliderSingleStepSub:
        return ScrollAction::LineBack;
    case QAbstractSlider::SliderSingleStepAdd:
        return ScrollAction::LineForward;
    case QAbstractSlider::SliderPageStepSub:
        return ScrollAction::PageBack;
    case QAbstractSlider::SliderPageStepAdd:
        return ScrollAction::PageForward;
    case QAbstractSlider::SliderMove:
        return ScrollAction::Track;
    default:
        return ScrollAction::Other;
    }
}

} // namespace

timeline::timeline(QWidget* owner, ShowStore& store, const ComposerOptions* options,
                   std::function<void(int step)> jumpTo)
    : QDialog(owner), m_previews(store, options), m_pictures(size_t(kStepCount)) {
    setObjectName(QString::number(kDialogId));
    setWindowTitle(translateQ("Timeline", "Timeline"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
    TimelineHooks hooks;
    hooks.repaint = [this] { update(); };
    hooks.jumpTo = std::move(jumpTo);
    m_state = std::make_unique<TimelineState>(std::move(hooks));
    m_widgets = buildDialog(this, timelineControls(), m_state->controls());
    for (int id : {kScroll, kZoom}) {
        auto* bar = qobject_cast<QAbstractSlider*>(widget(id));
        bar->setFocusPolicy(Qt::NoFocus);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, id](int action) { onBarAction(id, action); });
    }
    const QRect room = clientRoom(this);
    resize(fittedSize(QSize(kOpenWidth, kOpenHeight), room.size() - QSize(10, 10), kOpenFloor));
    move(room.topLeft() + QPoint(10, 10));
}

timeline::~timeline() {
    unbindDialog(this);
}

QWidget* timeline::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

void timeline::onBarAction(int id, int action) {
    auto* bar = qobject_cast<QAbstractSlider*>(widget(id));
    int pos = bar ? bar->sliderPosition() : 0;
    if (id == kScroll)
        m_state->scroll(actionOf(action), pos);
    else
        m_state->zoom(actionOf(action), pos);
    // The bar shows the view, not where its own step would have put it.
    if (bar)
        bar->setSliderPosition(m_state->controls().pos(id));
}

void timeline::placeBars() {
    const int w = width(), h = height();
    if (QWidget* v = widget(kScroll))
        v->setGeometry(0, 0, kBar, std::max(0, h - kBar));
    if (QWidget* z = widget(kZoom))
        z->setGeometry(kBar, h - kBar, std::max(0, w - kBar), kBar);
}

void timeline::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    placeBars();
    update();
}

void timeline::mouseDoubleClickEvent(QMouseEvent* e) {
    m_state->doubleClick(int(e->position().y()), height());
}

void timeline::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRows(p, size());
}

const QImage& timeline::picture(int step, const StepPreview& preview, QSize size) {
    Picture& pic = m_pictures[size_t(step)];
    if (pic.stamp != preview.stamp || pic.image.size() != size) {
        pic.image = renderStage(preview.frame, size);
        pic.stamp = preview.stamp;
    }
    return pic.image;
}

TimelineColumns timeline::columns(int width, const TimelineLayout& layout) {
    TimelineColumns c;
    const int u = layout.unit;
    c.numberLeft = kBar + 4;
    c.nameLeft = c.numberLeft;
    if (layout.numberPixels > 0)
        c.nameLeft += QFontMetrics(pixelFont(layout.numberPixels, true))
                          .horizontalAdvance(QStringLiteral("499 >")) +
                      kGap;
    c.pictureLeft = std::max(c.nameLeft, width - 2 * u);
    const int room = std::max(0, c.pictureLeft - kGap - c.nameLeft);
    // The fade time takes what its longest text needs, the sound two fifths
    // of the rest, the name the remainder.
    const int fadeNeeds =
        layout.textPixels > 0
            ? QFontMetrics(pixelFont(layout.textPixels)).horizontalAdvance("000.00 sec") + kGap
            : 0;
    c.fadeWidth = std::min(fadeNeeds, room / 3);
    c.soundWidth = (room - c.fadeWidth) * 2 / 5;
    c.nameWidth = room - c.fadeWidth - c.soundWidth;
    c.soundLeft = c.nameLeft + c.nameWidth;
    c.fadeLeft = c.soundLeft + c.soundWidth;
    return c;
}

void timeline::paintRows(QPainter& p, QSize client) {
    const ViewColours& look = theme().colours();
    const int w = client.width(), h = client.height();
    p.fillRect(QRect(QPoint(0, 0), client), look.timelineGround);
    const TimelineLayout layout = m_state->layout(h);
    m_state->syncBars();
    if (layout.rows.empty())
        return;
    const int u = layout.unit;
    const TimelineColumns c = columns(w, layout);
    const QFont numberFont = pixelFont(layout.numberPixels, true);
    const QFont textFont = pixelFont(layout.textPixels);
    const QFontMetrics textMetrics(textFont);
    const QSize pictureSize(2 * u, u);
    auto cell = [](int left, int width, const TimelineRow& row) {
        return QRect(left, row.top, std::max(0, width - kGap), row.bottom - row.top);
    };
    auto line = [&](int left, int width, const TimelineRow& row, const std::string& text) {
        const QRect box = cell(left, width, row);
        p.drawText(
            box, Qt::AlignLeft | Qt::AlignVCenter,
            textMetrics.elidedText(QString::fromStdString(text), Qt::ElideRight, box.width()));
    };
    for (const TimelineRow& row : layout.rows) {
        const StepPreview& preview = m_previews.get(row.step);
        p.setPen(look.timelineLine);
        p.drawLine(0, row.top, w, row.top);
        if (layout.numberPixels > 0) {
            p.setFont(numberFont);
            p.setPen(row.current ? look.timelineCurrent : look.timelineNumber);
            p.drawText(cell(c.numberLeft, c.nameLeft - c.numberLeft, row),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(row.step) +
                           (row.current ? QStringLiteral(" >") : QString()));
        }
        if (layout.textPixels > 0) {
            p.setFont(textFont);
            if (!preview.hasData) {
                p.setPen(look.timelineEmpty);
                line(c.nameLeft, c.nameWidth, row, translate("Timeline", "(empty)"));
                continue;
            }
            p.setPen(look.timelineName);
            p.drawText(cell(c.nameLeft, c.nameWidth, row),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                       QString::fromStdString(preview.name));
            if (preview.playAtBegin) {
                p.setPen(look.timelineSound);
                line(c.soundLeft, c.soundWidth, row, preview.soundName);
            }
            if (preview.autoFade) {
                p.setPen(look.timelineFade);
                line(c.fadeLeft, c.fadeWidth, row, fadeTimeText(preview.fadeSeconds));
            }
        } else if (!preview.hasData) {
            continue;
        }
        if (u > 0)
            p.drawImage(c.pictureLeft, row.top, picture(row.step, preview, pictureSize));
    }
}

} // namespace orvane
