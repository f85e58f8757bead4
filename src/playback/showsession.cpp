#include "playback/showsession.h"

#include "show/showfolders.h"
#include "show/textutil.h"

namespace orvane {

// Switches 1012..1019 carry check flags 1..8; the first four are the shutter
// boxes, which a shown step never changes.
constexpr int kFirstSwitch = 1012;

ShowSession::ShowSession(ProfileFiles& profiles, ControlModel& controls)
    : m_profiles(profiles), m_controls(controls), m_store(profiles) {}

void ShowSession::open(const std::string& root, const std::string& show) {
    m_root = root;
    m_show = show;
    m_store.setShowFilePath(orvane::showFilePath(root, show));
}

int ShowSession::loadShow() { return m_store.LoadShowFile(m_store.showFilePath()); }

void ShowSession::CommitCurrentStep() {
    if (m_repaintNow)
        m_repaintNow();
    StepRecord captured = m_console;
    captured.master = 255 - m_controls.pos(ids::kMaster);
    for (int c = 0; c < kCheckCount; ++c)
        captured.check[c] = m_controls.checked(kFirstSwitch + c) ? 1 : 0;
    captured.resetmaster = 0;
    captured.setmaster = 0;
    m_store.SaveStep(m_current, captured);

    StepRecord next;
    m_store.LoadStep(m_current + 1, next);
    next.master = 255 - m_controls.pos(ids::kNextMaster);
    m_store.SaveStep(m_current + 1, next);
}

void ShowSession::ShowCurrentStep(bool lightOnly) {
    StepRecord r;
    m_store.LoadStep(m_current, r);
    if (r.resetmaster)
        r.master = r.setmaster ? 128 : 0;
    else if (r.setmaster)
        r.master = 255;
    if (lightOnly) {
        // The effect mode puts only the light part on the console.
        m_console.master = r.master;
        m_console.lamp = r.lamp;
        m_console.pair = r.pair;
        m_console.fader = r.fader;
        m_console.colour = r.colour;
        m_console.scanner = r.scanner;
        m_console.head = r.head;
    } else {
        m_console = r;
        for (int c = 4; c < kCheckCount; ++c)
            m_controls.setChecked(kFirstSwitch + c, r.check[c] != 0);
    }
    m_controls.setPos(ids::kMaster, 255 - r.master);

    m_store.LoadStep(m_current + 1, m_nextPanel);
    m_controls.setPos(ids::kNextMaster, 255 - m_nextPanel.master);
}

void ShowSession::rememberStep(int step) {
    m_profiles.writeString(userProfilePath(), "savelast", "stepnum",
                           format("%u", static_cast<unsigned>(step)));
}

void ShowSession::activate() {
    if (!m_controls.has(ids::kMaster))
        return;
    CommitCurrentStep();
    m_current = m_controls.textInt(ids::kStepNumber);
    rememberStep(m_current);
    ShowCurrentStep(false);
}

int ShowSession::save() {
    CommitCurrentStep();
    int result = m_store.WriteShowFile(m_store.showFilePath(), [this](unsigned done,
                                                                      unsigned total) {
        m_controls.setText(ids::kStepInfo, done < total ? format("%u/%u", done, total) : "");
        if (m_repaintNow)
            m_repaintNow();
    });
    return result;
}

} // namespace orvane
