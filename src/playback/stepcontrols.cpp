#include "playback/stepcontrols.h"

#include "console/controlids.h"
#include "show/language.h"
#include "show/stepediting.h"
#include "show/textutil.h"

namespace orvane {

namespace {

StepEditContext editContext(ShowSession& session, ControlModel& controls, Prompts& prompts,
                            const EditHooks& hooks) {
    return StepEditContext{
        .store = session.store(),
        .prompts = prompts,
        .current = session.currentStep(),
        .title = kProgramTitle,
        .commit = [&session] { session.CommitCurrentStep(); },
        .show = [&session](bool lightOnly) { session.ShowCurrentStep(lightOnly); },
        .status = [&controls](std::string_view t) { controls.setText(console::kStepInfo, t); },
        .busyCursor = hooks.busyCursor,
        .rebuildSoundList = hooks.rebuildSoundList,
    };
}

} // namespace

StepControls::StepControls(ControlModel& controls, ShowSession& session, Prompts& prompts,
                           EditHooks hooks)
    : m_controls(controls), m_session(session), m_prompts(prompts), m_hooks(std::move(hooks)) {}

void StepControls::bind() {
    m_controls.on(ControlEvent::Clicked, console::kInsertStep, [this] { InsertStep(); });
    m_controls.on(ControlEvent::Clicked, console::kDeleteStep, [this] { DeleteStep(); });
    m_controls.on(ControlEvent::Clicked, console::kDuplicateStep, [this] { DuplicateStep(); });
}

// Each button is one edit, the commit before the move included.
void StepControls::InsertStep() {
    StepEditContext ctx = editContext(m_session, m_controls, m_prompts, m_hooks);
    ShowEdits::Scope edit(m_session.edits(), fillIn(translate("Undo", "insert step %1"),
                                                    {std::to_string(ctx.current)}));
    orvane::InsertStep(ctx);
}

void StepControls::DeleteStep() {
    StepEditContext ctx = editContext(m_session, m_controls, m_prompts, m_hooks);
    ShowEdits::Scope edit(m_session.edits(), fillIn(translate("Undo", "delete step %1"),
                                                    {std::to_string(ctx.current)}));
    orvane::DeleteStep(ctx);
}

void StepControls::DuplicateStep() {
    StepEditContext ctx = editContext(m_session, m_controls, m_prompts, m_hooks);
    ShowEdits::Scope edit(m_session.edits(), fillIn(translate("Undo", "duplicate step %1"),
                                                    {std::to_string(ctx.current)}));
    orvane::DuplicateStep(ctx);
}

} // namespace orvane
