#pragma once
// The show chooser's logic ("Select Show"): the list of show folders, the last
// show remembered in the user profile, opening and creating shows.
// User-interface thread only.

#include "console/controlmodel.h"
#include "show/inifile.h"
#include "show/prompts.h"

#include <optional>
#include <string>

namespace orvane {

constexpr size_t kShowNameMax = 259; // a show name buffer holds 260 bytes
constexpr const char* kNoShow = "curshow";

class ShowChooser {
public:
    ShowChooser(ProfileFiles& profiles, Prompts& prompts, std::string root);

    ListModel& list() { return m_list; }
    // Empties the list, reads the last show, lists the root's shows in ascending
    // order and selects the last one.
    void fill();
    // Open acts on the selected name only: with nothing selected it is not
    // offered (canOpen) and does nothing.
    bool canOpen() const { return m_list.selected() >= 0; }
    // Open or a double-click: the selected name becomes the chosen show and is
    // remembered. Returns the chosen name; nothing when none is selected.
    std::optional<std::string> open();
    // New: asks for a name and creates its folders, then lists the shows again
    // with the new one selected; false when cancelled, when the name is not a
    // single folder name or when the folders could not be made (the operator is
    // told why).
    bool newShow();
    const std::string& name() const { return m_name; }

private:
    ProfileFiles& m_profiles;
    Prompts& m_prompts;
    std::string m_root;
    std::string m_name = kNoShow;
    ListModel m_list;
};

} // namespace orvane
