#include "app/fadeadapter.h"

#include "console/controlids.h"
#include "windows/pressflash.h"

#include <QPointer>

namespace orvane {

FadeView::FadeView(ControlModel& controls, FadeFeedback& feedback, QWidget* progressBar)
    : m_controls(controls), m_feedback(feedback) {
    if (progressBar)
        m_flash = new PressFlash(progressBar);
    m_feedback.onPressIgnored([flash = QPointer<PressFlash>(m_flash)] {
        if (flash)
            flash->flash();
    });
}

void FadeView::refresh() {
    const std::string text = m_feedback.status().text;
    // An unchanged text is not written again: the idle console stays idle.
    if (m_controls.text(console::kFadeStatus) != text)
        m_controls.setText(console::kFadeStatus, text);
}

} // namespace orvane
