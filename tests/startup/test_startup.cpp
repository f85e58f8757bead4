// Start-up decisions: the command line, the start step, and the show chooser.

#include "show/showfolders.h"
#include "startup/showchooser.h"
#include "startup/startup.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace orvane;
using orvane::test::readFile;
using orvane::test::ScriptedPrompts;
using orvane::test::TempDir;
using orvane::test::writeFile;

TEST(CommandLine, StepAnywhereAndShowTakesTheRest) {
    struct Case {
        const char* text;
        int step;
        const char* show; // null: no "SHOW="
    } cases[] = {
        {"SHOW=My show STEP=3", 3, "My show STEP=3"},
        {"STEP=3 SHOW=My show", 3, "My show"},
        {"/STEP=12 /SHOW=Show2", 12, "Show2"},
        {"STEP=12", 12, nullptr},
        {"", -1, nullptr},
        {"step=5 show=x", -1, nullptr}, // case-sensitive
        {"STEP=abc SHOW=", -1, ""},
    };
    for (const Case& c : cases) {
        StartOptions o = parseCommandLine(c.text);
        EXPECT_EQ(o.stepGiven ? o.startStep : -1, c.step) << c.text;
        EXPECT_EQ(o.chained(), c.show != nullptr) << c.text;
        if (c.show) {
            EXPECT_EQ(*o.show, c.show) << c.text;
        }
    }
    char a0[] = "orvane", a1[] = "STEP=2", a2[] = "SHOW=two", a3[] = "words";
    char* argv[] = {a0, a1, a2, a3};
    EXPECT_EQ(joinArguments(4, argv), "STEP=2 SHOW=two words");
}

TEST(CommandLine, StartStepFallsBackAndStaysInRange) {
    StartOptions none;
    EXPECT_EQ(chooseStartStep(none, 42), 42);
    EXPECT_EQ(chooseStartStep(none, 600), 0);
    EXPECT_EQ(chooseStartStep(none, 499), 499);
    EXPECT_EQ(chooseStartStep(parseCommandLine("STEP=7"), 42), 7);
    EXPECT_EQ(chooseStartStep(parseCommandLine("STEP=500"), 42), 0);
    EXPECT_EQ(mainCaption("My show", "/dev/ttyUSB1"),
              "orvane 2022.001 - OV - DMX on /dev/ttyUSB1 My show");
    EXPECT_EQ(mainCaption("My show", ""), "orvane 2022.001 - OV My show");
}

namespace {

struct ChooserFixture : ::testing::Test {
    TempDir root, config;
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        makeFolders(config.file("orvane"));
        for (const char* d : {"zeta", "Alpha", "release", ".hidden"})
            ::mkdir(root.file(d).c_str(), 0755);
    }
    void TearDown() override { ::unsetenv("XDG_CONFIG_HOME"); }
};

} // namespace

TEST_F(ChooserFixture, ListsShowsAndPreselectsTheLastOne) {
    writeFile(config.file("orvane/profile.ini"), "[last]\r\nshowname=ZETA\r\n");
    ShowChooser chooser(profiles, prompts, root.path());
    chooser.fill();
    ASSERT_EQ(chooser.list().count(), 2);
    EXPECT_EQ(chooser.list().item(0).text, "Alpha");
    EXPECT_EQ(chooser.list().selected(), 1);
    EXPECT_EQ(chooser.open(), "zeta");
    EXPECT_NE(readFile(userProfilePath()).find("showname=zeta"), std::string::npos);
}

TEST_F(ChooserFixture, OpenWithNothingSelectedOpensNothing) {
    ShowChooser chooser(profiles, prompts, root.path());
    chooser.fill();
    EXPECT_EQ(chooser.list().selected(), -1);
    EXPECT_FALSE(chooser.canOpen());
    EXPECT_EQ(chooser.open(), std::nullopt);
    EXPECT_EQ(readFile(userProfilePath()).find("showname"), std::string::npos);
    chooser.list().select(0);
    EXPECT_TRUE(chooser.canOpen());
    EXPECT_EQ(chooser.open(), "Alpha");
}

TEST_F(ChooserFixture, NewRefusesNamesOutsideTheRoot) {
    ShowChooser chooser(profiles, prompts, root.path());
    chooser.fill();
    for (const char* name : {"", "../victim", "a/b", "..", "."}) {
        prompts.texts = {std::string(name)};
        EXPECT_FALSE(chooser.newShow()) << name;
        EXPECT_NE(prompts.shown.back().text.find("refus"), std::string::npos) << name;
    }
    struct stat st {};
    EXPECT_NE(::stat((root.path() + "/../victim").c_str(), &st), 0);
    EXPECT_NE(::stat(root.file("a").c_str(), &st), 0);
    // A name with dots inside is an ordinary folder name.
    prompts.texts = {std::string("Acte 1..2")};
    EXPECT_TRUE(chooser.newShow());
}

TEST_F(ChooserFixture, NewShowCreatesFoldersOrSaysWhyNot) {
    ShowChooser chooser(profiles, prompts, root.path());
    chooser.fill();
    prompts.texts = {std::string("Gala"), std::string("Gala"), std::nullopt};
    EXPECT_TRUE(chooser.newShow());
    EXPECT_EQ(prompts.shown.back().title, "New show");
    EXPECT_EQ(chooser.list().find("Gala", false), 1);
    EXPECT_EQ(chooser.list().selected(), 1) << "the show just made is selected";
    struct stat st {};
    EXPECT_EQ(::stat(root.file("Gala/step0").c_str(), &st), 0);
    EXPECT_FALSE(readFile(root.file("Gala/dmx.ini")).size());
    // The same name again: the folder exists.
    EXPECT_FALSE(chooser.newShow());
    EXPECT_EQ(prompts.shown.back().text,
              "Can't create directory " + root.file("Gala") + ": " + std::strerror(EEXIST));
    // Cancel: nothing at all.
    size_t shown = prompts.shown.size();
    EXPECT_FALSE(chooser.newShow());
    EXPECT_EQ(prompts.shown.size(), shown + 1);
}
