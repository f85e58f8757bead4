#pragma once
// The pre-show check: loads a show as the program does and finds, without
// playing anything, what would go wrong on stage: show file lines that give no
// entry, fade times that are negative or no number, "after fade goto" steps
// outside 0-499, hot keys that do nothing, step sounds that match no sound of
// the bank, LOAD=, LOADLOOP=, REPLAYDMX= and MATRIX= files that are missing or
// do not decode, CHAIN= shows that do not exist, and sound files the bank
// would leave out. File names are found the way the commands find them.
// Needs no display. Runs on one thread.

#include "show/keycodes.h"
#include "sound/soundbank.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct ShowCheckHooks {
    // The sound bank of a folder; without it sounds are not checked.
    std::function<SoundBankPreview(const std::string& folder)> previewSounds;
};

struct ShowProblem {
    int step = -1; // -1: not one step's problem
    std::string text;
    bool operator==(const ShowProblem&) const = default;
};

struct ShowCheckResult {
    bool showFound = false; // false: no such show folder, nothing was checked
    std::string missingReason;
    std::vector<ShowProblem> problems; // the show file's, then step by step, then the sounds'
};

// One problem as the check prints it: "step 12: ..." or the bare text.
std::string problemLine(const ShowProblem& problem);

// The show folder `show` of `root`.
ShowCheckResult checkShow(const std::string& root, const std::string& show,
                          const ShowCheckHooks& hooks);

} // namespace orvane
