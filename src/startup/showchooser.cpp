#include "startup/showchooser.h"

#include "show/language.h"
#include "show/showfolders.h"
#include "show/textutil.h"

#include <cerrno>
#include <cstring>

namespace orvane {

ShowChooser::ShowChooser(ProfileFiles& profiles, Prompts& prompts, std::string root)
    : m_profiles(profiles), m_prompts(prompts), m_root(std::move(root)) {}

void ShowChooser::fill() {
    m_list.clear();
    m_name =
        m_profiles.readString(userProfilePath(), "last", "showname", kNoShow, kShowNameMax + 1);
    for (const std::string& show : listShows(m_root))
        m_list.add(show);
    m_list.select(m_list.find(m_name, true));
}

std::optional<std::string> ShowChooser::open() {
    int selected = m_list.selected();
    if (selected < 0)
        return std::nullopt;
    m_name = std::string(cutUtf8(m_list.item(selected).text, kShowNameMax));
    makeFolders(userProfilePath().substr(0, userProfilePath().rfind('/')));
    m_profiles.writeString(userProfilePath(), "last", "showname", m_name);
    return m_name;
}

bool ShowChooser::newShow() {
    auto typed =
        m_prompts.askText(translate("Show chooser", "New show"), translate("Show chooser", "Name"),
                          translate("Show chooser", "please enter new show name here"));
    if (!typed)
        return false;
    if (showNameProblem(*typed)) {
        m_prompts.message(kProgramTitle, refusedShowNameText(*typed, m_root), PromptIcon::Error);
        return false;
    }
    if (!createShow(m_root, *typed)) {
        std::string reason = std::strerror(errno);
        m_prompts.message(kProgramTitle,
                          fillIn(translate("Show chooser", "Can't create directory %1: %2"),
                                 {showFolder(m_root, *typed), reason}),
                          PromptIcon::Error);
        return false;
    }
    fill();
    // The show just made is the one the operator means to open.
    for (int i = 0; i < m_list.count(); ++i)
        if (m_list.item(i).text == *typed)
            m_list.select(i);
    return true;
}

} // namespace orvane
