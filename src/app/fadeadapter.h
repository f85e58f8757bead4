#pragma once
// The main window's side of the fade feedback: the label beside "after fade
// goto" says where a running fade leads ("fading to N caption"), and the fade's
// progress bar flashes for a press the running fade did not act on.
// User-interface thread only.

#include "console/controlmodel.h"
#include "playback/fadefeedback.h"

class QWidget;

namespace orvane {

class PressFlash;

class FadeView {
public:
    // `progressBar` is the fade's bar (4078); the view lives no longer than
    // the controls, the feedback and the bar.
    FadeView(ControlModel& controls, FadeFeedback& feedback, QWidget* progressBar);

    // Every playback tick: the label follows the fade.
    void refresh();
    PressFlash* flash() const { return m_flash; }

private:
    ControlModel& m_controls;
    FadeFeedback& m_feedback;
    PressFlash* m_flash = nullptr;
};

} // namespace orvane
