#include "windows/showtime2.h"

#include "panels/showtimetable.h"
#include "show/language.h"
#include "windows/dialogbuilder.h"
#include "windows/dialogscale.h"
#include "windows/pressflash.h"
#include "windows/windowlock.h"

#include <QAbstractSlider>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace orvane {

using namespace showtime;

namespace {

// Point sizes at scale 1.
struct FontStyle {
    int id;
    double points;
    bool bold;
};
constexpr FontStyle kFonts[] = {
    {kStepShown, 30, true}, {kCaption, 13, true},  {kNextCaption, 11, false}, {kNextStep, 30, true},
    {kStop, 13, true},      {kPause, 13, true},    {kFullScreen, 11, false},  {kClose, 11, false},
    {kLocked, 10, false},   {kFadeLine, 10, true},
};
constexpr double kStaticPoints = 8;

// Dim surfaces and soft light text: nothing on this panel may glare in the dark.
// untranslated-begin: a style sheet
constexpr const char* kStyle = R"(
QDialog { background: #0b0b0d; }
QLabel { color: #a9a9b0; }
QLabel#step { color: #f2c14e; }
QLabel#caption { color: #e4e4e8; }
QLabel#next { color: #8fb3d9; }
QLabel#fade { color: #f2c14e; }
QCheckBox { color: #a9a9b0; }
QPushButton { background: #1c1c21; color: #d4d4da; border: 1px solid #3a3a42; border-radius: 6px; }
QPushButton:pressed { background: #34343c; }
QPushButton:focus { border: 2px solid #c9a227; }
QPushButton#nextstep { background: #0d3a1b; color: #e6ffe9; border: 2px solid #2d7a45; border-radius: 10px; }
QPushButton#nextstep:pressed { background: #17592b; }
QPushButton#nextstep:focus { border: 4px solid #f2c14e; }
QPushButton#stop { background: #3a1010; color: #ffd9d9; border-color: #7a2d2d; }
)";
// untranslated-end

const std::pair<int, const char*> kObjectNames[] = {
    {kStepShown, "step"},    {kCaption, "caption"}, {kNextCaption, "next"},
    {kNextStep, "nextstep"}, {kStop, "stop"},       {kFadeLine, "fade"},
};

// The parts of the look measured in pixels, at scale f: faders and the check
// mark grow with the window so that they stay easy to catch.
QString scaledStyle(double f) {
    auto px = [f](double v) { return QString::number(std::max(1, int(std::lround(v * f)))); };
    return QString::fromLatin1(kStyle) +
           QStringLiteral("QSlider::groove:vertical { background: #26262c; width: %1px;"
                          " border-radius: %2px; }"
                          "QSlider::handle:vertical { background: #8c8c96; height: %3px;"
                          " margin: 0 -%4px; border-radius: %2px; }"
                          "QCheckBox::indicator { width: %5px; height: %5px; }")
               .arg(px(8), px(4), px(20), px(9), px(14));
}

} // namespace

showtime2::showtime2(QWidget* owner, ControlModel& main, ShowStore& store, InputState& input,
                     const Clock& clock, std::function<void()> skipAutomationOnce)
    : QDialog(owner) {
    setObjectName(QString::number(kDialogId));
    setWindowTitle(translateQ("Show time", "Show time !"));
    // A resizable frame without a close box: "Close" is the way out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinMaxButtonsHint);
    if (owner)
        m_lock = new WindowLock(owner, translateQ("Show time", "Show time !"));
    m_panel = std::make_unique<ShowTimePanel>(main, store, input, clock,
                                              hooks(std::move(skipAutomationOnce)));
    m_widgets = buildDialog(this, showTimeControls(), m_panel->controls());
    // Enter is "Next step" wherever the focus is (keyPressEvent); no button
    // takes it for itself, so it can never press "Stop" by accident.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    for (int id : {kVolumeLeft, kVolumeRight})
        widget(id)->setFocusPolicy(Qt::NoFocus); // Page keys are the tick's, not a slider's
    applyLook();
    setDesignFonts();
    auto* scale = new DialogScale(this, QSize(kBaseWidth, kBaseHeight));
    scale->onScaled([this](ScaleFactors f) { restyle(f.font()); });
    resize(kBaseWidth, kBaseHeight);
    m_flash = new PressFlash(widget(kFadeBar));
    m_panel->setPressIgnored([this] { m_flash->flash(); });
    m_panel->init();
    m_savedGeometry = geometry();
    m_panel->controls().on(ControlEvent::Clicked, kFullScreen, [this] { toggleFullScreen(); });
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, [this] { m_panel->tick(); });
}

showtime2::~showtime2() {
    // The panel's model dies before the widgets: cut the binding first.
    unbindDialog(this);
    if (m_lock)
        m_lock->unlock();
}

ShowTimeHooks showtime2::hooks(std::function<void()> skipAutomationOnce) {
    ShowTimeHooks h;
    // The tick has nothing to do while the panel is closed (presses made
    // meanwhile are dropped on opening), so it runs only while it is open.
    h.show = [this] {
        if (m_timer)
            m_timer->start();
        show();
        raise();
        activateWindow();
    };
    h.hide = [this] {
        if (m_timer)
            m_timer->stop();
        hide();
    };
    h.lockMain = [this] {
        if (m_lock)
            m_lock->lock();
    };
    h.unlockMain = [this] {
        if (!m_lock)
            return;
        m_lock->unlock();
        m_lock->window()->activateWindow();
    };
    h.focusNextStep = [this] {
        if (QWidget* w = widget(kNextStep))
            w->setFocus(Qt::OtherFocusReason);
    };
    h.skipAutomationOnce = std::move(skipAutomationOnce);
    return h;
}

QWidget* showtime2::widget(int id) const {
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

bool showtime2::mainLocked() const {
    return m_lock && m_lock->locked();
}

void showtime2::applyLook() {
    for (auto [id, name] : kObjectNames)
        if (QWidget* w = widget(id))
            w->setObjectName(QString::fromLatin1(name));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(11, 11, 13));
    p.setColor(QPalette::WindowText, QColor(169, 169, 176));
    p.setColor(QPalette::Button, QColor(40, 40, 46));
    p.setColor(QPalette::ButtonText, QColor(212, 212, 218));
    p.setColor(QPalette::Base, QColor(20, 20, 24));
    p.setColor(QPalette::Text, QColor(212, 212, 218));
    p.setColor(QPalette::Highlight, QColor(201, 162, 39));
    setPalette(p);
    if (auto* caption = qobject_cast<QLabel*>(widget(kCaption)))
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// Every text's size at scale 1; the scale sizes them with the window.
void showtime2::setDesignFonts() {
    for (const ControlDef& c : showTimeControls()) {
        QWidget* w = widget(c.id);
        if (!w)
            continue;
        QFont font = w->font();
        font.setPointSizeF(kStaticPoints);
        font.setBold(false);
        for (const FontStyle& style : kFonts)
            if (style.id == c.id) {
                font.setPointSizeF(style.points);
                font.setBold(style.bold);
            }
        setDesignFont(w, font);
    }
}

// The parts of the style measured in pixels follow the scale.
void showtime2::restyle(double f) {
    f = std::max(0.25, f);
    if (f == m_styleScale)
        return;
    m_styleScale = f;
    setStyleSheet(scaledStyle(f));
}

// The window also takes the screen's whole area itself: without a window
// manager (a kiosk session) nothing else would.
void showtime2::toggleFullScreen() {
    if (!m_fullScreen) {
        m_savedGeometry = geometry();
        m_fullScreen = true;
        QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
        showFullScreen();
        if (shown)
            setGeometry(shown->geometry());
        raise();
        activateWindow();
    } else {
        m_fullScreen = false;
        showNormal();
        setGeometry(m_savedGeometry);
    }
}

void showtime2::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->accept();
        m_panel->nextStep();
        break;
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        // Dialog navigation; Escape reaches reject().
        QDialog::keyPressEvent(e);
        break;
    default:
        e->accept(); // every other key is the tick's or the main window's
        break;
    }
}

void showtime2::reject() {
    // Escape aims at "Next step" here; the window never ends this way.
    m_panel->nextStep();
}

void showtime2::closeEvent(QCloseEvent* e) {
    // Closed from outside (the window manager): as "Close".
    e->accept();
    if (m_panel->isOpen())
        m_panel->close();
}

} // namespace orvane
