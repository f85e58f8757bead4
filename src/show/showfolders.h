#pragma once
// Show folders under the root folder, the user profile and the settings.
// User-interface thread only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class ProfileFiles;

// $XDG_CONFIG_HOME/orvane/profile.ini, else ~/.config/orvane/profile.ini.
std::string userProfilePath();

// A setting of section "settings" in the user profile, or def.
std::string setting(ProfileFiles& profiles, std::string_view key, std::string_view def);

// $ORVANE_ROOT, else the setting "root", else ~/orvane.
std::string rootFolder(ProfileFiles& profiles);

std::string showFolder(const std::string& root, std::string_view show);
std::string showFilePath(const std::string& root, std::string_view show);
std::string soundFolder(const std::string& root, std::string_view show);

// The folders of the root that are offered as shows: not "debug" or "release"
// (in any case), not beginning with ".". In ascending order.
std::vector<std::string> listShows(const std::string& root);

// A show is one folder directly under the root. Why a name cannot be one
// (empty, holding "/", or "." or ".."), or nothing when it can.
std::optional<std::string> showNameProblem(std::string_view name);
// The message that refuses a show name, naming the root.
std::string refusedShowNameText(std::string_view name, const std::string& root);
// The message for a show whose folder does not exist.
std::string missingShowText(std::string_view name, const std::string& root);
// True when the show's folder exists (as a folder).
bool showExists(const std::string& root, std::string_view name);

// Creates the show folder and its "step0" folder; false when either fails
// (a folder that already exists counts as a failure, and so does a name that
// is not a single folder name).
bool createShow(const std::string& root, std::string_view name);

// Makes the folders of a path, like mkdir -p. False when it cannot.
bool makeFolders(const std::string& path);

} // namespace orvane
