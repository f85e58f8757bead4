#pragma once
// The main window's step-editing buttons: "Insert a step" (1042), "Delete this
// step" (1043) and "Duplicate this step" (1126), acting on the current step of
// the show through the show's step sequence editing. No widgets.
// User-interface thread only.

#include "console/controlmodel.h"
#include "console/showsession.h"
#include "show/prompts.h"

#include <functional>

namespace orvane {

// Window services the editing uses but does not own; unset ones are skipped.
struct EditHooks {
    std::function<void(bool busy)> busyCursor; // hourglass on, arrow back
    std::function<void()> rebuildSoundList;    // the audio list after insert and delete
};

class StepControls {
public:
    StepControls(ControlModel& controls, ShowSession& session, Prompts& prompts,
                 EditHooks hooks = {});

    // Registers Clicked on the three buttons.
    void bind();

    void InsertStep();
    void DeleteStep();
    void DuplicateStep();

private:
    ControlModel& m_controls;
    ShowSession& m_session;
    Prompts& m_prompts;
    EditHooks m_hooks;
};

} // namespace orvane
