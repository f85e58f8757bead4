#include "show/datafile.h"

#include "show/textutil.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace orvane {

namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> nameParts(std::string_view name) {
    std::vector<std::string_view> parts;
    while (!name.empty()) {
        size_t cut = name.find_first_of("/\\");
        std::string_view part = name.substr(0, cut);
        if (!part.empty() && part != ".")
            parts.push_back(part);
        name.remove_prefix(cut == std::string_view::npos ? name.size() : cut + 1);
    }
    return parts;
}

// The entry of folder that equals part without regard to case; the smallest
// name wins when several do, so the choice does not depend on directory order.
std::optional<fs::path> foldedEntry(const fs::path& folder, std::string_view part) {
    std::error_code ec;
    std::optional<std::string> best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (equalsIgnoreCase(entry, part) && (!best || entry < *best))
            best = std::move(entry);
    }
    if (!best)
        return std::nullopt;
    return folder / *best;
}

} // namespace

std::optional<FoundFile> findDataFile(std::string_view folder, std::string_view name) {
    FoundFile found;
    // A name from the root of the file system is taken as given.
    bool absolute = !name.empty() && (name.front() == '/' || name.front() == '\\');
    fs::path at = absolute ? fs::path("/") : fs::path(std::string(folder));
    std::error_code ec;
    for (std::string_view part : nameParts(name)) {
        fs::path exact = at / std::string(part);
        if (fs::exists(exact, ec)) {
            at = std::move(exact);
            continue;
        }
        std::optional<fs::path> folded = foldedEntry(at, part);
        if (!folded)
            return std::nullopt;
        at = std::move(*folded);
        found.caseFolded = true;
    }
    if (!fs::is_regular_file(at, ec))
        return std::nullopt;
    found.path = at.string();
    return found;
}

} // namespace orvane
