// What a killed save leaves behind in a show folder, cleared at the next start.

#include "show/showstore.h"
#include "show/textutil.h"

#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

namespace {

bool endsWithIgnoreCase(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && equalsIgnoreCase(s.substr(s.size() - tail.size()), tail);
}

// ".<name>.XXXXXX" as mkstemp makes it: the name of the file being saved.
std::string_view savedNameOfTemp(std::string_view entry) {
    constexpr size_t kSuffix = 7; // "." and six letters or digits
    if (entry.size() <= kSuffix + 1 || entry.front() != '.' || entry[entry.size() - kSuffix] != '.')
        return {};
    for (char c : entry.substr(entry.size() - 6))
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return {};
    return entry.substr(1, entry.size() - kSuffix - 1);
}

bool savedByThisProgram(std::string_view name) {
    return name == "dmx.ini" || name == "dmx.ini.recovery" || endsWithIgnoreCase(name, ".efe");
}

bool isRegular(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// An effect file set aside while its replacement was written: put back when
// the replacement never arrived, else no longer needed.
int settleSetAside(const std::string& folder, std::string_view entry) {
    constexpr std::string_view kAside = ".previous";
    if (entry.size() <= kAside.size() + 1 || entry.front() != '.' ||
        entry.substr(entry.size() - kAside.size()) != kAside)
        return 0;
    std::string_view name = entry.substr(1, entry.size() - kAside.size() - 1);
    if (!endsWithIgnoreCase(name, ".efe"))
        return 0;
    std::string aside = folder + "/" + std::string(entry);
    std::string original = folder + "/" + std::string(name);
    if (!isRegular(aside))
        return 0;
    struct stat st {};
    if (::lstat(original.c_str(), &st) != 0)
        return std::rename(aside.c_str(), original.c_str()) == 0 ? 1 : 0;
    return ::unlink(aside.c_str()) == 0 ? 1 : 0;
}

} // namespace

int removeSaveLeftovers(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return 0;
    std::vector<std::string> entries;
    while (const dirent* e = ::readdir(dir))
        if (e->d_name[0] == '.')
            entries.emplace_back(e->d_name);
    ::closedir(dir);
    int settled = 0;
    for (const std::string& entry : entries) {
        std::string path = folder + "/" + entry;
        if (savedByThisProgram(savedNameOfTemp(entry)) && isRegular(path))
            settled += ::unlink(path.c_str()) == 0 ? 1 : 0;
        else
            settled += settleSetAside(folder, entry);
    }
    return settled;
}

} // namespace orvane
