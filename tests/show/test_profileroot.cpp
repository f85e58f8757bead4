// `make run` finds the shows' root with scripts/profile-root.sh: it must read
// the profile's "root" setting exactly as orvane reads it.

#include "show/inifile.h"
#include "show/showfolders.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

using namespace orvane;
using namespace orvane::test;

namespace {

std::string scriptRoot(const std::string& config) {
    std::string command =
        "XDG_CONFIG_HOME='" + config + "' bash '" ORVANE_SOURCE_DIR "/scripts/profile-root.sh'";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0)
            out.append(buffer, n);
        pclose(p);
    }
    if (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

} // namespace

TEST(ProfileRoot, MakeRunReadsTheRootSettingAsOrvaneDoes) {
    const char* profiles[] = {
        "[settings]\r\nroot=/srv/shows\r\n",
        "[Settings]\n  ROOT = /srv/my shows \t\n",
        "[last]\nroot=/no\n[settings]\ndmxport=/dev/x\nroot=/yes\nroot=/second\n",
        "[settings]\n; root=/commented\nroot=/real\n",
        "[settings]\nlinkhost=1\n[settings]\nroot=/in the second section\n",
        "root=/before any section\n[settings]\n",
        "[ settings ]\nroot=/padded section name\n",
        "[settings]\nroot=\n",
        "",
    };
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::optional<std::string> previous = saved ? std::optional<std::string>(saved) : std::nullopt;
    for (const char* text : profiles) {
        TempDir config;
        std::filesystem::create_directory(config.file("orvane"));
        writeFile(config.file("orvane/profile.ini"), text);
        setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        ProfileFiles files;
        EXPECT_EQ(scriptRoot(config.path()), setting(files, "root", "")) << text;
    }
    TempDir empty; // no profile at all
    EXPECT_EQ(scriptRoot(empty.path()), "");
    if (previous)
        setenv("XDG_CONFIG_HOME", previous->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
