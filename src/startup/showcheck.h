#pragma once
// The pre-show check: loads a show as the program does and finds, without
// playing anything, what would go wrong on stage: show file lines that give no
// entry, fade times that are negative or no number, "after fade goto" steps
// outside 0-499, hot keys that do nothing, step sounds that match no sound of
// the bank, LOAD=, LOADLOOP=, REPLAYDMX= and MATRIX= files that are missing or
// do not decode, CHAIN= shows that do not exist, sound files the bank would
// leave out, numbers past 32 bits and a show file whose lines end in a lone
// CR. File names are found the way the commands find them; every outside file
// is read and decoded within the bound the program gives it (kOutsideFileBound).
// Needs no display. Runs on one thread (and the threads of its bounded reads).

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

// Problems of one kind are summarised once there are many of them.
enum class ProblemKind : uint8_t {
    ShowFile,
    LineEnds,
    LineWithoutEquals,
    LineBeforeSection,
    LineOutsideSteps,
    NumberPast32Bits,
    FadeTime,
    Goto,
    HotKey,
    StepSound,
    Chain,
    Matrix,
    Effect,
    Replay,
    SoundLeftOut,
};

struct ShowProblem {
    int step = -1; // -1: not one step's problem
    std::string text;
    ProblemKind kind = ProblemKind::ShowFile;
    bool operator==(const ShowProblem& o) const { return step == o.step && text == o.text; }
};

struct ShowCheckResult {
    bool showFound = false; // false: no such show folder, nothing was checked
    std::string missingReason;
    std::vector<ShowProblem> problems; // the show file's, then step by step, then the sounds'
};

// One problem as the check prints it: "step 12: ..." or the bare text, with
// every control character (from a file: an escape sequence would drive the
// terminal) and every byte that is not UTF-8 written as \xNN.
std::string problemLine(const ShowProblem& problem);

// The lines the check prints: at most `perKind` problems of each kind, the
// last of them followed by "… and 9 764 more like it" when there were more.
std::vector<std::string> reportLines(const std::vector<ShowProblem>& problems, size_t perKind = 10);

// A count as the reports write it, thousands apart: "9 764".
std::string groupedCount(size_t n);
// `text`, a translated text holding n in plain digits, with n written as
// groupedCount writes it.
std::string withGroupedCount(const std::string& text, size_t n);

// The show folder `show` of `root`.
ShowCheckResult checkShow(const std::string& root, const std::string& show,
                          const ShowCheckHooks& hooks);

} // namespace orvane
