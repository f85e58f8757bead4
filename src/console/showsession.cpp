#include "console/showsession.h"

#include "show/language.h"
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
    int result;
    {
        ShowEdits::Pause reading(m_edits);
        result = m_store.LoadShowFile(m_store.showFilePath());
    }
    m_edits.forget();
    m_console.setTextEncoding(m_store.encoding());
    return result;
}

int ShowSession::loadRecovered(const std::string& path) {
    int result;
    {
        ShowEdits::Pause reading(m_edits);
        m_store.table().clear();
        result = m_store.LoadShowFile(path);
    }
    m_edits.forget();
    m_console.setTextEncoding(m_store.encoding());
    return result;
}

void ShowSession::setCurrentStep(int step) {
    m_current = std::clamp(step, 0, kStepCount - 1);
}

void ShowSession::CommitCurrentStep() {
    if (m_repaintNow)
        m_repaintNow();
    ShowEdits::Scope edit(
        m_edits, fillIn(translate("Session", "changes to step %1"), {std::to_string(m_current)}),
        ShowEdits::Naming::Store);
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
    m_shown = m_console.capture();
    m_shownNext = StepRecord{};
    m_console.captureNextOver(m_shownNext);
}

bool ShowSession::consoleChanged() const {
    StepRecord next;
    m_console.captureNextOver(next);
    return !(next == m_shownNext) || !(m_console.capture() == m_shown);
}

RecoveryWriter::Parts ShowSession::pendingShowParts() {
    // The current step, the one after it and section 0 (which holds every
    // step's check flags 1-4) as a commit would leave them, in a table of
    // their own; every other section is read where it is.
    ShowStore scratch(m_profiles);
    scratch.setEncoding(m_store.encoding());
    const int sections[] = {0, m_current, m_current + 1};
    for (int s : sections)
        if (scratch.table().entries(s).empty())
            scratch.table().replace(s, m_store.table().contents(s));
    scratch.SaveStep(m_current, m_console.capture());
    StepRecord next;
    scratch.LoadStep(m_current + 1, next);
    m_console.captureNextOver(next);
    scratch.SaveStep(m_current + 1, next);
    m_sectionTexts.resize(kStepCount);
    RecoveryWriter::Parts parts;
    parts.reserve(kStepCount + 1);
    parts.push_back(std::make_shared<const std::string>(m_store.HeadText()));
    for (int s = 0; s < kStepCount; ++s) {
        bool own = s == 0 || s == m_current || s == m_current + 1;
        const ShowTable& table = own ? scratch.table() : m_store.table();
        SectionText& cached = m_sectionTexts[size_t(s)];
        // Generations are unique to one content of one section in any table.
        if (!cached.text || cached.generation != table.generation(s)) {
            cached.generation = table.generation(s);
            cached.text =
                std::make_shared<const std::string>(m_store.SectionText(table.entries(s)));
        }
        parts.push_back(cached.text);
    }
    return parts;
}

std::string ShowSession::pendingShowText() {
    std::string text;
    for (const auto& part : pendingShowParts())
        text += *part;
    return text;
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
