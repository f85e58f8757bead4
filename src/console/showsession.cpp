#include "console/showsession.h"

#include "show/showfolders.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

ShowSession::ShowSession(ProfileFiles& profiles, ControlModel& controls)
    : m_profiles(profiles), m_controls(controls), m_store(profiles), m_console(controls) {}

void ShowSession::open(const std::string& root, const std::string& show) {
    m_root = root;
    m_show = show;
    m_store.setShowFilePath(orvane::showFilePath(root, show));
}

int ShowSession::loadShow() {
    // A save that was killed may have left its temporary file behind.
    removeSaveLeftovers(showFolder(m_root, m_show));
    int result = m_store.LoadShowFile(m_store.showFilePath());
    m_console.setTextEncoding(m_store.encoding());
    return result;
}

void ShowSession::setCurrentStep(int step) {
    m_current = std::clamp(step, 0, kStepCount - 1);
}

void ShowSession::CommitCurrentStep() {
    if (m_repaintNow)
        m_repaintNow();
    m_store.SaveStep(m_current, m_console.capture());
    StepRecord next;
    m_store.LoadStep(m_current + 1, next);
    m_console.captureNextOver(next);
    m_store.SaveStep(m_current + 1, next);
}

void ShowSession::ShowCurrentStep(bool lightOnly) {
    StepRecord r;
    m_store.LoadStep(m_current, r);
    if (r.resetmaster)
        r.master = r.setmaster ? 128 : 0;
    else if (r.setmaster)
        r.master = 255;
    m_console.display(r, lightOnly ? DisplayMode::Effect : DisplayMode::Full);
    StepRecord next;
    m_store.LoadStep(m_current + 1, next);
    m_console.displayNext(next);
}

void ShowSession::rememberStep(int step) {
    m_profiles.writeString(userProfilePath(), "savelast", "stepnum",
                           format("%u", static_cast<unsigned>(step)));
}

int ShowSession::save() {
    CommitCurrentStep();
    int result = m_store.WriteShowFile(m_store.showFilePath(), [this](unsigned done,
                                                                      unsigned total) {
        m_controls.setText(console::kStepInfo, done < total ? format("%u/%u", done, total) : "");
        if (m_repaintNow)
            m_repaintNow();
    });
    return result;
}

} // namespace orvane
