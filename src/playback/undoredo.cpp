#include "playback/undoredo.h"

#include "console/controlids.h"
#include "show/language.h"

namespace orvane {

UndoRedo::UndoRedo(ControlModel& controls, ShowSession& session, UndoHooks hooks)
    : m_controls(controls), m_session(session), m_hooks(std::move(hooks)) {}

void UndoRedo::undo() {
    ShowEdits& edits = m_session.edits();
    // Only a console that changed since its step was shown is stored: storing
    // an unchanged one may still rewrite values the show holds in an older
    // form, an edit that would then be undone for ever instead of the next.
    if (!edits.busy() && m_session.consoleChanged())
        m_session.CommitCurrentStep();
    after(edits.undo(), translate("Undo", "Undone: %1"), kNothingToUndo);
}

void UndoRedo::redo() {
    ShowEdits& edits = m_session.edits();
    // A changed console is a new change: it takes the place of what was undone.
    if (!edits.busy() && m_session.consoleChanged())
        m_session.CommitCurrentStep();
    after(edits.redo(), translate("Undo", "Redone: %1"), kNothingToRedo);
}

void UndoRedo::after(const std::optional<std::string>& label, const std::string& done,
                     const char* nothing) {
    if (!label) {
        m_controls.setText(console::kStatus,
                           translate("Undo", m_session.edits().busy() ? kEditUnderWay : nothing));
        return;
    }
    m_session.ShowCurrentStep(false);
    if (m_hooks.rebuildSoundList)
        m_hooks.rebuildSoundList();
    if (m_hooks.restored)
        m_hooks.restored();
    m_controls.setText(console::kStatus, fillIn(done, {*label}));
}

} // namespace orvane
