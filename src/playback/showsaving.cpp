#include "playback/showsaving.h"

#include "console/showsession.h"
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
        std::string text = format("Impossible de lire le fichier de spectacle %s : %s",
                                  path.c_str(), report.reason.c_str());
        m_prompts.message(kProgramTitle,
                          text + ". Le spectacle s'ouvre vide ; ce fichier ne sera pas "
                                 "remplacé sans votre accord.",
                          PromptIcon::Error);
        return Notice{text, true};
    }
    if (!report.looksLikeShow()) {
        m_guard = Guard::NotAShow;
        return Notice{format("%s ne ressemble pas à un spectacle : aucune de ses %zu lignes "
                             "n'a pu être lue",
                             path.c_str(), report.lines),
                      true};
    }
    std::string text;
    if (report.loneCrLineEnds)
        text = format("%s : ses lignes finissent par un CR seul ; elles ont été lues ainsi et "
                      "seront enregistrées en CR LF",
                      path.c_str());
    if (report.unreadLines > 0)
        text +=
            (text.empty() ? path + " : " : std::string(" ; ")) +
            format("%zu ligne(s) sur %zu n'ont pas pu être lues", report.unreadLines, report.lines);
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
            ? format("%s n'a pas pu être lu (%s)", path.c_str(), m_unreadReason.c_str())
            : format("%s ne ressemble pas à un fichier de spectacle", path.c_str());
    if (mode == Mode::Terminating) {
        tell(mode, why + " : il n'est pas remplacé.");
        return false;
    }
    if (!m_prompts.askYesNo(kProgramTitle, why + ". Le remplacer par le spectacle en mémoire ?"))
        return false;
    m_guard = Guard::None;
    return true;
}

bool ShowSaving::save(Mode mode) {
    if (!mayReplace(mode))
        return false;
    if (m_session.save() == 0) {
        const std::string& backupReason = m_session.store().lastBackupReason();
        if (!backupReason.empty())
            tell(mode, format("Le spectacle est enregistré dans %s, mais le fichier précédent "
                              "n'a pas pu être gardé dans %s.bak : %s",
                              m_session.showFilePath().c_str(), m_session.showFilePath().c_str(),
                              backupReason.c_str()));
        if (m_afterSave)
            m_afterSave();
        return true;
    }
    tell(mode,
         format("Impossible d'enregistrer le spectacle dans %s : %s",
                m_session.showFilePath().c_str(), m_session.store().lastWriteReason().c_str()));
    return false;
}

bool ShowSaving::saveBeforeLeaving(Mode mode) {
    if (save(mode))
        return true;
    if (mode == Mode::Terminating)
        return false;
    return m_prompts.askYesNo(kProgramTitle, format("Le spectacle n'a pas été enregistré dans "
                                                    "%s. Quitter quand même ?",
                                                    m_session.showFilePath().c_str()));
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
