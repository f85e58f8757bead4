#include "show/showfolders.h"

#include "show/inifile.h"
#include "show/language.h"
#include "show/textutil.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

static std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    const passwd* pw = ::getpwuid(::getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "/tmp";
}

std::string userProfilePath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base = xdg && *xdg ? std::string(xdg) : homeFolder() + "/.config";
    return base + "/orvane/profile.ini";
}

std::string setting(ProfileFiles& profiles, std::string_view key, std::string_view def) {
    return profiles.readString(userProfilePath(), "settings", key, def, 4096);
}

std::string rootFolder(ProfileFiles& profiles) {
    const char* env = std::getenv("ORVANE_ROOT");
    if (env && *env)
        return env;
    std::string root = setting(profiles, "root", "");
    return root.empty() ? homeFolder() + "/orvane" : root;
}

std::string showFolder(const std::string& root, std::string_view show) {
    return root + "/" + std::string(show);
}

std::string showFilePath(const std::string& root, std::string_view show) {
    return showFolder(root, show) + "/dmx.ini";
}

std::string soundFolder(const std::string& root, std::string_view show) {
    return showFolder(root, show) + "/step0";
}

static bool isOfferedShow(const std::string& root, const char* name) {
    if (name[0] == '.' || strcasecmp(name, "debug") == 0 || strcasecmp(name, "release") == 0)
        return false;
    struct stat st {};
    std::string path = root + "/" + name;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> listShows(const std::string& root) {
    std::vector<std::string> shows;
    DIR* dir = ::opendir(root.c_str());
    if (!dir)
        return shows;
    while (const dirent* e = ::readdir(dir))
        if (isOfferedShow(root, e->d_name))
            shows.emplace_back(e->d_name);
    ::closedir(dir);
    std::sort(shows.begin(), shows.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return shows;
}

std::optional<std::string> showNameProblem(std::string_view name) {
    if (name.empty())
        return translate("Show folders", "the name is empty");
    if (name.find('/') != std::string_view::npos)
        return translate("Show folders", "the name contains \"/\"");
    if (name == "." || name == "..")
        return fillIn(translate("Show folders", "\"%1\" is not a folder name"), {name});
    if (name.find('\0') != std::string_view::npos)
        return translate("Show folders", "the name contains a null character");
    return std::nullopt;
}

std::string refusedShowNameText(std::string_view name, const std::string& root) {
    std::string why = showNameProblem(name).value_or("");
    return fillIn(translate("Show folders", "Show name refused: \"%1\" (%2). A show is a folder "
                                            "of %3."),
                  {name, why, root});
}

std::string missingShowText(std::string_view name, const std::string& root) {
    return fillIn(translate("Show folders", "The show \"%1\" does not exist in %2."), {name, root});
}

bool showExists(const std::string& root, std::string_view name) {
    struct stat st {};
    return !showNameProblem(name) && ::stat(showFolder(root, name).c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

bool createShow(const std::string& root, std::string_view name) {
    if (showNameProblem(name))
        return false;
    std::string folder = showFolder(root, name);
    if (::mkdir(folder.c_str(), 0755) != 0)
        return false;
    return ::mkdir((folder + "/step0").c_str(), 0755) == 0;
}

bool makeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/')
            continue;
        std::string part = path.substr(0, i);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace orvane
