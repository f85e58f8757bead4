#pragma once
// Editing the step sequence of a show at the current step: insert, delete and
// duplicate. A show always has exactly 500 steps, so these operations move step
// contents between step numbers; nothing is added or removed, and the current
// step number stays as it is. Each moved step is a full load and a full save
// through the show store. The console, the window and the operator are reached
// through the context's callbacks (an unset callback is skipped).
// User-interface thread only.

#include "show/prompts.h"
#include "show/showstore.h"

#include <QtGlobal>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// The confirmation asked before a delete, shown through
// translate("Step editing", kConfirmDelete).
constexpr const char* kConfirmDelete =
    QT_TRANSLATE_NOOP("Step editing", "Do you really want to do this?");

struct StepEditContext {
    ShowStore& store;
    Prompts& prompts;
    int current = 0;                                   // the current step, 0..499
    std::string title = "orvane";                      // title of the confirmation box
    std::function<void()> commit;                      // CommitCurrentStep
    std::function<void(bool lightOnly)> show;          // ShowCurrentStep
    std::function<void(std::string_view text)> status; // the step-info label
    std::function<void(bool busy)> busyCursor;         // hourglass on, arrow back
    std::function<void()> rebuildSoundList;
};

// Steps c..498 move up by one (the former step 499 is lost), so steps c and
// c + 1 hold the same content. The status shows "%u/%u" after each moved step
// and is emptied at the end.
void InsertStep(StepEditContext& ctx);
// After a Yes to kConfirmDelete, steps c + 1..499 move down by one over step c;
// step 499 keeps its content. False when the operator did not confirm (nothing
// is committed then).
bool DeleteStep(StepEditContext& ctx);
// Step c is copied over step c + 1 (at step 499 nothing changes).
void DuplicateStep(StepEditContext& ctx);

} // namespace orvane
