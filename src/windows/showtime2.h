#pragma once
// "Show time !" (dialog 112): the operator's panel during a performance, made
// for a dark stage. One large "Next step" button, "Stop", "Pause", full screen,
// "Close", the two master volume sliders with "locked", and the step on, its
// caption and the next step, readable from a distance. Everything scales with
// the window. The logic is ShowTimePanel's; this class binds it to widgets,
// runs its 10 ms tick and locks the main window while it is open.
// User-interface thread only.

#include "panels/showtimepanel.h"
#include "panels/showtimetable.h"

#include <QDialog>
#include <QRect>

#include <functional>
#include <map>
#include <memory>

class QTimer;

namespace orvane {

class PressFlash;
class WindowLock;

class showtime2 : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDialogId = 112;
    static constexpr int kBaseWidth = showtime::kBaseWidth; // the layout's size at scale 1
    static constexpr int kBaseHeight = showtime::kBaseHeight;
    static constexpr int kTickMs = 10;

    // Created hidden, owned by the main window `owner`, whose control model,
    // show store and key state it works through.
    showtime2(QWidget* owner, ControlModel& main, ShowStore& store, InputState& input,
              const Clock& clock, std::function<void()> skipAutomationOnce);
    ~showtime2() override;

    ShowTimePanel& panel() { return *m_panel; }
    QWidget* widget(int id) const;
    bool fullScreenOn() const { return m_fullScreen; }
    // The fade's bar acknowledges a press the running fade did not act on.
    PressFlash* fadeFlash() const { return m_flash; }
    // Who hears of a "Next step" pressed inside its guard (the window's own
    // bar flashes until another listener is set).
    void setPressIgnored(std::function<void()> hook) { m_panel->setPressIgnored(std::move(hook)); }
    bool mainLocked() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

private:
    ShowTimeHooks hooks(std::function<void()> skipAutomationOnce);
    void applyLook();
    void setDesignFonts();
    void restyle(double f);
    void toggleFullScreen();

    std::unique_ptr<ShowTimePanel> m_panel;
    WindowLock* m_lock = nullptr;
    std::map<int, QWidget*> m_widgets;
    QTimer* m_timer = nullptr;
    PressFlash* m_flash = nullptr;
    double m_styleScale = 0; // the scale the style sheet was made for
    bool m_fullScreen = false;
    QRect m_savedGeometry;
};

} // namespace orvane
