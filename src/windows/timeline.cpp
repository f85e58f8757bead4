#include "windows/timeline.h"

#include "panels/timelinetable.h"
#include "show/textutil.h"
#include "windows/dialogbuilder.h"
#include "windows/stagepreview.h"

#include <QAbstractSlider>
#include <QMouseEvent>
#include <QPainter>

namespace orvane {

using namespace timelinewindow;

namespace {

constexpr int kBar = kBarWidth;
constexpr int kNumberLeft = 18;

const QColor kBackground(192, 255, 255);
const QColor kCurrentNumber(255, 0, 0);
const QColor kNumber(128, 128, 128);
const QColor kName(0, 0, 128);
const QColor kSound(64, 64, 64);
const QColor kFade(0, 128, 0);
const QColor kEmpty(128, 150, 150);

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

// A font of `tenths` tenths of a point, or none when it would be empty.
bool pointFont(QFont& font, int tenths) {
    if (tenths <= 0)
        return false;
    font.setPointSizeF(tenths / 10.0);
    return true;
}

// Text with its top-left corner at (x, y), as the platform's text output places it.
void textAt(QPainter& p, int x, int y, const QString& text) {
    p.drawText(QRect(x, y, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}

} // namespace

timeline::timeline(QWidget* owner, ShowStore& store, const ComposerOptions* options,
                   std::function<void(int step)> jumpTo)
    : QDialog(owner), m_previews(store, options), m_pictures(size_t(kStepCount)) {
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Timeline"));
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
    move(10, 10);
    resize(kOpenWidth, kOpenHeight);
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

void timeline::paintRows(QPainter& p, QSize client) {
    const int w = client.width(), h = client.height();
    p.fillRect(QRect(QPoint(0, 0), client), kBackground);
    const TimelineLayout layout = m_state->layout(h);
    m_state->syncBars();
    if (layout.rows.empty())
        return;
    QFont numberFont(QStringLiteral("Arial")), smallFont(QStringLiteral("Arial"));
    const bool numbers = pointFont(numberFont, layout.numberTenths);
    const bool texts = pointFont(smallFont, layout.smallTenths);
    const int u = layout.unit;
    const QSize pictureSize(2 * u, u);
    for (const TimelineRow& row : layout.rows) {
        const StepPreview& preview = m_previews.get(row.step);
        p.setPen(Qt::black);
        p.drawLine(0, row.top, w, row.top);
        if (numbers) {
            p.setFont(numberFont);
            p.setPen(row.current ? kCurrentNumber : kNumber);
            textAt(p, kNumberLeft, row.top,
                   QString::number(row.step) + (row.current ? QStringLiteral(" >") : QString()));
        }
        const QRect nameBox(QPoint(layout.textLeft, row.top), QPoint(w - 2 * u, row.bottom));
        if (texts) {
            p.setFont(smallFont);
            if (!preview.hasData) {
                p.setPen(kEmpty);
                p.drawText(nameBox, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("(empty)"));
                continue;
            }
            p.setPen(kName);
            p.drawText(nameBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       QString::fromStdString(preview.name));
            if (preview.playAtBegin) {
                p.setPen(kSound);
                textAt(p, layout.textLeft, row.bottom - 20,
                       QString::fromStdString(preview.soundName));
            }
            if (preview.autoFade) {
                p.setPen(kFade);
                textAt(p, layout.textLeft, row.bottom - 40,
                       QString::fromStdString(fadeTimeText(preview.fadeSeconds)));
            }
        } else if (!preview.hasData) {
            continue;
        }
        if (u > 0)
            p.drawImage(w - 2 * u, row.top, picture(row.step, preview, pictureSize));
    }
}

} // namespace orvane
