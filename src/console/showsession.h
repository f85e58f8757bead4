#pragma once
// The show in use and the console's step glue: which step is current, putting a
// step on the console and storing the console back into the show.
// User-interface thread only.

#include "console/console.h"
#include "console/controlids.h"
#include "console/controlmodel.h"
#include "show/inifile.h"
#include "show/recoveryfile.h"
#include "show/showedits.h"
#include "show/showstore.h"

#include <functional>
#include <string>

namespace orvane {

class ShowSession {
public:
    ShowSession(ProfileFiles& profiles, ControlModel& controls);

    // Fixes the current show; the show file path follows from it.
    void open(const std::string& root, const std::string& show);
    const std::string& show() const { return m_show; }
    const std::string& root() const { return m_root; }
    const std::string& showFilePath() const { return m_store.showFilePath(); }

    // The show file into the empty table: 0 or -1 (the store's lastLoad() says
    // why). Temporary files a killed save left in the show folder go first.
    int loadShow();
    ShowStore& store() { return m_store; }
    int currentStep() const { return m_current; }
    void setCurrentStep(int step); // kept within 0..499

    Console& console() { return m_console; }

    // Storing the console is an edit of its own ("changes to step 12"), or
    // part of the action it happens in.
    void CommitCurrentStep();
    void ShowCurrentStep(bool lightOnly);

    // The undo and redo history of the show: every change to the store.
    ShowEdits& edits() { return m_edits; }
    // The console or the next-step panel holds something the show does not
    // since the steps were last put on them: what a commit would store.
    bool consoleChanged() const;

    // What save() would write now, without storing the console into the show:
    // the show file's text with the current step (and the one after it) as
    // the console holds them.
    std::string pendingShowText();
    // The same text in parts (head, then section by section): a section that
    // did not change since the last call is handed out again, not written anew.
    RecoveryWriter::Parts pendingShowParts();
    // A recovery file read in place of what the show file gave: the table is
    // emptied first, and the history starts again. 0 or -1, as loadShow().
    int loadRecovered(const std::string& path);

    // The save sequence's store and write: commit, then the whole table to the
    // show file with its progress in the step-info label. Returns WriteShowFile's
    // result.
    int save();

    // Called when a status text must be seen at once (progress while writing).
    void setRepaintNow(std::function<void()> f) { m_repaintNow = std::move(f); }

    // "savelast"/"stepnum" in the user profile.
    void rememberStep(int step);

private:
    ProfileFiles& m_profiles;
    ControlModel& m_controls;
    ShowStore m_store;
    ShowEdits m_edits{m_store.table()};
    std::string m_root;
    std::string m_show = "curshow";
    int m_current = 0;
    Console m_console;
    std::function<void()> m_repaintNow;
    // What the console and the next-step panel showed right after the last
    // ShowCurrentStep, as a capture reads them.
    StepRecord m_shown;
    StepRecord m_shownNext;
    // Each section's text by the generation it was made from.
    struct SectionText {
        uint64_t generation = 0;
        std::shared_ptr<const std::string> text;
    };
    std::vector<SectionText> m_sectionTexts;
};

} // namespace orvane
