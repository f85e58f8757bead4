#pragma once
// What the save sequence decides and tells the operator: a show file is never
// replaced unless it was read whole (or the operator says so), a save that
// fails is reported with the file and the system's reason, and leaving after a
// failed save is the operator's choice. When the program is told to end
// (SIGTERM, SIGINT) nothing waits for an answer: failures go to stderr.
// User-interface thread only.

#include "show/prompts.h"

#include <functional>
#include <optional>
#include <string>

namespace orvane {

class ShowSession;
struct ShowFileReport;

class ShowSaving {
public:
    enum class Mode {
        Asking,      // Save, Quit, close, CHAIN=: the operator is asked and told
        Terminating, // a signal ends the program: nothing is asked
    };
    // A line for the main window's log and status line about the show file read.
    struct Notice {
        std::string text;
        bool error = false;
    };

    ShowSaving(ShowSession& session, Prompts& prompts) : m_session(session), m_prompts(prompts) {}

    // After the show file was read: a file that exists but could not be read
    // is said at once (with the reason) and protected, a file with no usable
    // line is protected, lines that could not be read are counted.
    std::optional<Notice> afterLoad();

    // The save sequence's commit and write. True when the show file was written.
    bool save(Mode mode);
    // Quit, close and CHAIN=: the save, and when it failed whether to leave all
    // the same (asked, default No; never when terminating).
    bool saveBeforeLeaving(Mode mode);
    // CHAIN=: the show must be a single folder name of an existing show, and
    // this show is saved first. False (the operator told why) when the chain
    // must not happen.
    bool chainTo(const std::string& show);

    // The file will not be replaced without the operator's consent.
    bool isProtected() const { return m_guard != Guard::None; }

    // Told after each save that wrote the show file.
    void setAfterSave(std::function<void()> f) { m_afterSave = std::move(f); }

private:
    enum class Guard { None, Unread, NotAShow };
    // The lines of a show file read whole that were not read as they stand.
    static std::optional<Notice> linesNotice(const ShowFileReport& report, const std::string& path);
    bool mayReplace(Mode mode);
    void tell(Mode mode, const std::string& text);

    ShowSession& m_session;
    Prompts& m_prompts;
    NonInteractivePrompts m_stderr;
    Guard m_guard = Guard::None;
    // Why the show file could not be read: a recovery file read after it
    // takes the store's report.
    std::string m_unreadReason;
    std::function<void()> m_afterSave;
};

} // namespace orvane
