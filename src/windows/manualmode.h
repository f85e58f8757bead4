#pragma once
// "Manual mode" (dialog 114): the 24 faders of manual mode under a strip that
// shows their levels, and the first-step number, over the logic in
// fixtures/manualmodecontroller.h. Its 50 ms timer puts the faders into the mode's level
// buffer, which the main timer mixes. The window has no close box: the main
// window's "Manual Mode and predefined" button opens and closes it.
// User-interface thread only.

#include "console/controldef.h"
#include "fixtures/manualmodecontroller.h"
#include "fixtures/manualmodetable.h"
#include "windows/sharedtick.h"

#include <QDialog>

#include <map>
#include <span>

class QPainter;

namespace orvane {

// Paints the level strip: 24 cells of width / 24 pixels, each the grey of its level,
// the fader number in red in the top half and the level as two hexadecimal digits
// in blue in the bottom half.
void paintLevelStrip(QPainter& p, QRect r, const ManualModeController::Levels& levels);

class manualmode : public QDialog {
    Q_OBJECT
public:
    manualmode(QWidget* owner, ManualModeController& mode);
    ~manualmode() override;

    ControlModel& controls() { return m_controls; }
    QWidget* widget(int id) const;

    // One tick of the window's timer.
    void OnTimer();

    // No close box: Escape does not close the window either.
    void reject() override;

private:
    ControlModel m_controls;
    ManualModeController& m_mode;
    ManualModePanel m_panel;
    std::map<int, QWidget*> m_widgets;
    SharedTick m_timer;
};

} // namespace orvane
