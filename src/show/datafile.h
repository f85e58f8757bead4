#pragma once
// Finding files named by show data (effect, sound, replay and picture names).
// Shows travel from machines where "\" separates folders and names ignore
// letter case, so a name may use either separator and any case.
// User-interface thread only.

#include <optional>
#include <string>
#include <string_view>

namespace orvane {

struct FoundFile {
    std::string path;
    bool caseFolded = false; // some part of the name matched only without regard to case
};

// The regular file that name (relative to folder, or absolute when it begins
// with a separator; "\" or "/" as separators) names. Each part of the name is taken as spelt when
// it exists, else the first entry of its folder (in name order) that equals it without regard to
// case. Nothing when no such file exists.
std::optional<FoundFile> findDataFile(std::string_view folder, std::string_view name);

} // namespace orvane
