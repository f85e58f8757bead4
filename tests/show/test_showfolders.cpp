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

TEST(ShowFolders, AShowNameIsOneFolderDirectlyUnderTheRoot) {
    TempDir root;
    ::mkdir(root.file("Gala").c_str(), 0755);
    writeFile(root.file("plain file"), "");
    struct Case {
        const char* name;
        bool acceptable;
        bool exists;
    } cases[] = {
        {"Gala", true, true},     {"My show", true, false},    {"Acte 1..2", true, false},
        {".hidden", true, false}, {"", false, false},          {"../victim", false, false},
        {"a/b", false, false},    {"..", false, false},        {".", false, false},
        {"/etc", false, false},   {"plain file", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(!showNameProblem(c.name), c.acceptable) << c.name;
        EXPECT_EQ(showExists(root.path(), c.name), c.exists) << c.name;
        if (!c.acceptable) {
            std::string text = refusedShowNameText(c.name, root.path());
            EXPECT_NE(text.find(root.path()), std::string::npos) << text;
        }
    }
    EXPECT_FALSE(createShow(root.path(), ".."));
    EXPECT_NE(missingShowText("Nowhere", root.path()).find("Nowhere"), std::string::npos);
}
