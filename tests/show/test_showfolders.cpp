// Show folders under the root and the user profile's place.

#include "show/inifile.h"
#include "show/showfolders.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace orvane;
using orvane::test::TempDir;
using orvane::test::writeFile;

TEST(ShowFolders, ListsOnlyOfferedShowFoldersInAscendingOrder) {
    TempDir root;
    for (const char* d : {"zeta", "Alpha", "Release", "DEBUG", ".backup", "mid show"})
        ::mkdir(root.file(d).c_str(), 0755);
    writeFile(root.file("global.efe"), "");
    EXPECT_EQ(listShows(root.path()), (std::vector<std::string>{"Alpha", "mid show", "zeta"}));
    EXPECT_TRUE(listShows(root.file("absent")).empty());
}

TEST(ShowFolders, CreatingAShowMakesItsSoundFolderAndRefusesAnExistingOne) {
    TempDir root;
    EXPECT_TRUE(createShow(root.path(), "New"));
    struct stat st {};
    EXPECT_EQ(::stat(soundFolder(root.path(), "New").c_str(), &st), 0);
    EXPECT_FALSE(createShow(root.path(), "New"));
    EXPECT_FALSE(createShow(root.file("absent"), "x"));
}

TEST(ShowFolders, ProfileAndRootFollowTheEnvironment) {
    TempDir dir;
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(userProfilePath(), dir.path() + "/orvane/profile.ini");
    ProfileFiles p;
    ::unsetenv("ORVANE_ROOT");
    makeFolders(dir.path() + "/orvane");
    p.writeString(userProfilePath(), "settings", "root", "/shows");
    EXPECT_EQ(rootFolder(p), "/shows");
    ::setenv("ORVANE_ROOT", "/env/root", 1);
    EXPECT_EQ(rootFolder(p), "/env/root");
    ::unsetenv("ORVANE_ROOT");
    ::unsetenv("XDG_CONFIG_HOME");
}
