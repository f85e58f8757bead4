// First start of an installed program: the default root is made with a copy
// of the installed demo show; a root that exists, or one the operator named,
// is never touched.

#include "show/firstroot.h"
#include "show/inifile.h"
#include "show/showfolders.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// <prefix>/bin/orvane and <prefix>/share/orvane/demo as an installation lays them out.
struct Installation {
    TempDir prefix;
    Installation() {
        for (const char* d :
             {"bin", "share", "share/orvane", "share/orvane/demo", "share/orvane/demo/step0"})
            ::mkdir(prefix.file(d).c_str(), 0755);
        writeFile(prefix.file("bin/orvane"), "");
        writeFile(prefix.file("share/orvane/demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n");
        writeFile(prefix.file("share/orvane/demo/step0/gong.wav"), std::string(5000, 'x'));
        writeFile(prefix.file("share/orvane/demo/step0/.keep"), "");
        ::symlink("/etc", prefix.file("share/orvane/demo/elsewhere").c_str());
    }
    std::string demo() const { return installedDemoShow(prefix.file("bin/orvane")); }
};

} // namespace

TEST(FirstRoot, AMissingRootIsMadeWithTheInstalledDemoShow) {
    Installation inst;
    ASSERT_EQ(inst.demo(), inst.prefix.file("bin/../share/orvane/demo"));
    TempDir home;
    std::string root = home.file("orvane");
    FirstRoot first = prepareFirstRoot(root, inst.demo());
    EXPECT_TRUE(first.created);
    EXPECT_TRUE(first.demoCopied);
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(listShows(root), std::vector<std::string>{"demo"});
    EXPECT_EQ(readFile(root + "/demo/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n");
    EXPECT_EQ(readFile(root + "/demo/step0/gong.wav"), std::string(5000, 'x'));
    // Neither the placeholder nor a link is copied.
    EXPECT_FALSE(exists(root + "/demo/step0/.keep"));
    EXPECT_FALSE(exists(root + "/demo/elsewhere"));
    // "New show" now has a folder to create shows in.
    EXPECT_TRUE(createShow(root, "gala"));

    // The next start finds the root and leaves it as the operator left it.
    writeFile(root + "/demo/dmx.ini", "edited");
    FirstRoot again = prepareFirstRoot(root, inst.demo());
    EXPECT_FALSE(again.created);
    EXPECT_EQ(readFile(root + "/demo/dmx.ini"), "edited");
}

TEST(FirstRoot, WithoutAnInstalledDemoOrWhenTheRootCannotBeMade) {
    TempDir build, home;
    // A program run from its build folder has no demo beside it: an empty root.
    writeFile(build.file("orvane"), "");
    EXPECT_EQ(installedDemoShow(build.file("orvane")), "");
    EXPECT_EQ(installedDemoShow("orvane"), "");
    FirstRoot empty = prepareFirstRoot(home.file("a/orvane"), "");
    EXPECT_TRUE(empty.created);
    EXPECT_FALSE(empty.demoCopied);
    EXPECT_TRUE(listShows(home.file("a/orvane")).empty());

    // A root that exists as a file, or under a file, is neither replaced nor
    // silently given up on.
    writeFile(home.file("file"), "x");
    FirstRoot onFile = prepareFirstRoot(home.file("file"), "");
    EXPECT_FALSE(onFile.created);
    EXPECT_EQ(onFile.error, "the folder of the shows " + home.file("file") + " is not a folder");
    EXPECT_EQ(readFile(home.file("file")), "x");
    FirstRoot under = prepareFirstRoot(home.file("file/orvane"), "");
    EXPECT_FALSE(under.created);
    EXPECT_NE(under.error.find(home.file("file/orvane")), std::string::npos) << under.error;

    // A demo that cannot be read is said so, with its path.
    FirstRoot noDemo = prepareFirstRoot(home.file("b"), home.file("absent-demo"));
    EXPECT_TRUE(noDemo.created);
    EXPECT_FALSE(noDemo.demoCopied);
    EXPECT_NE(noDemo.error.find(home.file("absent-demo")), std::string::npos) << noDemo.error;
}

TEST(FirstRoot, OnlyTheDefaultRootIsEverMade) {
    TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    ::unsetenv("ORVANE_ROOT");
    ProfileFiles profiles;
    EXPECT_TRUE(rootIsDefault(profiles));
    // --root DIR reaches the start-up as ORVANE_ROOT: a disk maybe not mounted.
    ::setenv("ORVANE_ROOT", "/media/stick/shows", 1);
    EXPECT_FALSE(rootIsDefault(profiles));
    ::unsetenv("ORVANE_ROOT");
    ::mkdir(config.file("orvane").c_str(), 0755);
    writeFile(config.file("orvane/profile.ini"), "[settings]\r\nroot=/srv/shows\r\n");
    ProfileFiles reread;
    EXPECT_FALSE(rootIsDefault(reread));
    ::unsetenv("XDG_CONFIG_HOME");
}
