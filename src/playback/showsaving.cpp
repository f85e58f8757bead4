#include "playback/showsaving.h"

#include "console/showsession.h"
#include "show/language.h"
#include "show/prompts.h"
#include "show/showfolders.h"
#include "show/textutil.h"

namespace orvane {

std::optional<ShowSaving::Notice> ShowSaving::afterLoad() {
    const ShowFileReport& report = m_session.store().lastLoad();
    const std::string& path = m_session.showFilePath();
    m_guard = Guard::None;
    if (!report.exists)
        return std::nullopt; // a new show: the first save creates the file
    if (!report.readWhole) {
        m_guard = Guard::Unread;
        m_unreadReason = report.reason;
        std::string text = fillIn(translate("Show file", "Cannot read the show file %1: %2"),
                                  {path, report.reason});
        m_prompts.message(kProgramTitle,
                          fillIn(translate("Show file", "%1. The show opens empty; this file will "
                                                        "not be replaced without your consent."),
                                 {text}),
                          PromptIcon::Error);
        return Notice{text, true};
    }
    if (!report.looksLikeShow()) {
        m_guard = Guard::NotAShow;
        return Notice{
            fillIn(translate("Show file", "%1 does not look like a show: none of its %2 lines "
                                          "could be read"),
                   {path, std::to_string(report.lines)}),
            true};
    }
    return linesNotice(report, path);
}

std::optional<ShowSaving::Notice> ShowSaving::linesNotice(const ShowFileReport& report,
                                                          const std::string& path) {
    std::string text;
    if (report.loneCrLineEnds)
        text = fillIn(translate("Show file", "%1: its lines end with a lone CR; they were read "
                                             "that way and will be saved with CR LF"),
                      {path});
    if (report.unreadLines > 0) {
        std::string lines =
            fillIn(translate("Show file", "%1 line(s) out of %2 could not be read"),
                   {std::to_string(report.unreadLines), std::to_string(report.lines)});
        text = text.empty() ? fillIn(translate("Show file", "%1: %2"), {path, lines})
                            : fillIn(translate("Show file", "%1; %2"), {text, lines});
    }
    if (text.empty())
        return std::nullopt;
    return Notice{text, false};
}

void ShowSaving::tell(Mode mode, const std::string& text) {
    Prompts& to = mode == Mode::Terminating ? static_cast<Prompts&>(m_stderr) : m_prompts;
    to.message(kProgramTitle, text, PromptIcon::Error);
}

bool ShowSaving::mayReplace(Mode mode) {
    if (m_guard == Guard::None)
        return true;
    const std::string& path = m_session.showFilePath();
    std::string why =
        m_guard == Guard::Unread
            ? fillIn(translate("Show file", "%1 could not be read (%2)"), {path, m_unreadReason})
            : fillIn(translate("Show file", "%1 does not look like a show file"), {path});
    if (mode == Mode::Terminating) {
        tell(mode, fillIn(translate("Show file", "%1: it is not replaced."), {why}));
        return false;
    }
    if (!m_prompts.askYesNo(
            kProgramTitle,
            fillIn(translate("Show file", "%1. Replace it with the show in memory?"), {why})))
        return false;
    m_guard = Guard::None;
    return true;
}

bool ShowSaving::save(Mode mode) {
    if (!mayReplace(mode))
        return false;
    const std::string& path = m_session.showFilePath();
    if (m_session.save() == 0) {
        const std::string& backupReason = m_session.store().lastBackupReason();
        if (!backupReason.empty())
            tell(mode, fillIn(translate("Show file", "The show is saved in %1, but the previous "
                                                     "file could not be kept in %2.bak: %3"),
                              {path, path, backupReason}));
        if (m_afterSave)
            m_afterSave();
        return true;
    }
    tell(mode, fillIn(translate("Show file", "Cannot save the show in %1: %2"),
                      {path, m_session.store().lastWriteReason()}));
    return false;
}

bool ShowSaving::saveBeforeLeaving(Mode mode) {
    if (save(mode))
        return true;
    if (mode == Mode::Terminating)
        return false;
    return m_prompts.askYesNo(
        kProgramTitle, fillIn(translate("Show file", "The show was not saved in %1. Quit anyway?"),
                              {m_session.showFilePath()}));
}

bool ShowSaving::chainTo(const std::string& show) {
    std::string text;
    if (showNameProblem(show))
        text = refusedShowNameText(show, m_session.root());
    else if (!showExists(m_session.root(), show))
        text = missingShowText(show, m_session.root());
    if (!text.empty()) {
        m_prompts.message(kProgramTitle, text, PromptIcon::Error);
        return false;
    }
    return saveBeforeLeaving(Mode::Asking);
}

} // namespace orvane
