// Effect files: the sections and keys written, laying an effect over the show,
// and damaged files. Laying effects from the main window's controls is tested
// with those controls.

#include "show/datafile.h"
#include "show/effectfile.h"
#include "support/showsnapshot.h"
#include "support/stepkeyorder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane;
using namespace std::string_literals;
using test::readFile;
using test::writeFile;

namespace {

struct EffectFixture : ::testing::Test {
    test::TempDir dir;
    ProfileFiles profiles;
    ShowStore store{profiles};
    std::string effect = dir.file("chase.EFE");
    std::vector<StepRecord> before;

    void SetUp() override {
        store.setShowFilePath(dir.file("dmx.ini"));
        for (int s = 0; s < kStepCount; ++s) {
            StepRecord r;
            r.master = s % 256;
            r.head[0].channel[15] = uint8_t(s);
            r.check = {0, 0, 0, 0, 1, 0, s % 2, 1};
            r.name = "step " + std::to_string(s);
            r.soundlocked = 0;
            store.SaveStep(s, r);
        }
        before = snapshot();
    }
    std::vector<StepRecord> snapshot() { return orvane::test::snapshotSteps(store); }
    size_t filesInDir() {
        return size_t(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
    }
};

TEST_F(EffectFixture, ThreeStepsSavedAtStep498EndWithAnEmptyStep) {
    ASSERT_TRUE(writeEffectFile(store, effect, 498, 3));
    // Sections in order of creation; each step has the keys of a full save in
    // their order, and the shared flags are in "0".
    std::string want = "[effect]\r\nlen=3\r\n";
    for (int i = 0; i < 3; ++i) {
        want += "[" + std::to_string(123456 + i) + "]\r\n";
        for (const std::string& key : test::firstSaveOrder())
            want += key + "=" +
                    (i < 2 ? store.ReadStoreString(std::to_string(498 + i), key, "?", 4096, {})
                           : test::emptyStepValue(key)) +
                    "\r\n";
        if (i == 0)
            want += "[0]\r\ncheck1=0\r\ncheck2=0\r\ncheck3=0\r\ncheck4=0\r\n";
    }
    EXPECT_EQ(readFile(effect), want);
    StepRecord r;
    ASSERT_TRUE(loadEffectStep(store, effect, 2, r));
    EXPECT_EQ(r, StepRecord{}); // all zeros, empty texts, soundlocked 1
}

TEST_F(EffectFixture, ASaveReplacesThePreviousFileWholeOrNotAtAll) {
    ASSERT_TRUE(writeEffectFile(store, effect, 10, 4));
    ASSERT_TRUE(writeEffectFile(store, effect, 10, 0)); // a count of 0
    EXPECT_EQ(readFile(effect), "[effect]\r\nlen=0\r\n");
    ASSERT_TRUE(writeEffectFile(store, effect, 10, 2));
    std::string previous = readFile(effect);
    pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN); // a size limit makes the write fail part way
        rlimit limit{16 * 1024, 16 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeEffectFile(store, effect, 30, 40) ? 0 : 7);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
    EXPECT_EQ(readFile(effect), previous);
    EXPECT_EQ(filesInDir(), 1u); // nothing left beside it
}

TEST_F(EffectFixture, SavesThatCannotBeAreRefused) {
    ASSERT_EQ(store.WriteShowFile(store.showFilePath()), 0);
    std::string show = readFile(store.showFilePath());
    std::string folder = std::filesystem::path(dir.path()).filename().string();
    for (std::string path : {store.showFilePath(), dir.path() + "/./dmx.ini",
                             dir.path() + "/../" + folder + "/DMX.INI"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(writeEffectFile(store, path, 0, 2));
        EXPECT_EQ(applyEffectFile(store, path, 0, false), 0);
    }
    EXPECT_EQ(readFile(store.showFilePath()), show);
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(writeEffectFile(store, effect, 0, kEffectMaxSteps + 1));
    EXPECT_FALSE(writeEffectFile(store, dir.file("missing/x.efe"), 0, 1));
    EXPECT_FALSE(writeEffectFile(store, dir.path(), 0, 1)); // a folder
}

TEST_F(EffectFixture, TheSharedShutterFlagsTravelThroughSectionZero) {
    StepRecord r = before[0];
    r.check = {1, 0, 1, 0, 0, 0, 0, 0};
    store.SaveStep(0, r);
    ASSERT_TRUE(writeEffectFile(store, effect, 40, 2));
    EXPECT_EQ(profiles.readInt(effect, "0", "check1", -1), 1);
    EXPECT_EQ(profiles.readInt(effect, "0", "check3", -1), 1);
    EXPECT_FALSE(profiles.lookup(effect, "123456", "check1"));
    r.check = {0, 1, 0, 1, 0, 0, 0, 0};
    store.SaveStep(0, r);
    applyEffectFile(store, effect, 200, false);
    EXPECT_EQ(snapshot()[7].check, (std::array<int32_t, 8>{1, 0, 1, 0, 1, 0, 1, 1}));
}

// Damaged files and files written elsewhere: whatever can be read is laid
// within the show, nothing else changes, nothing crashes.
TEST_F(EffectFixture, DamagedFilesLoadWhatTheyCan) {
    const std::string step = "[123456]\r\nmaster=9\r\nname=first\r\n";
    struct Case {
        const char* what;
        std::string text;
        int first, stored;
    };
    const Case cases[] = {
        {"huge len", "[effect]\r\nlen=99999999999\r\n" + step, 0, 1},
        {"len past 32 bits", "[effect]\r\nlen=4294967297\r\n" + step, 0, 1},
        {"len up to the show's end", "[effect]\r\nlen=2147483647\r\n" + step, 499, 1},
        {"negative len", "[effect]\r\nlen=-3\r\n" + step, 0, 0},
        {"len not a number", "[effect]\r\nlen=many\r\n" + step, 0, 0},
        {"no effect section", step, 0, 0},
        {"steps missing", "[effect]\r\nlen=3\r\n" + step, 10, 1},
        {"broken lines",
         "[effect\r\nlen=1\r\n[123456\r\nmaster=9\r\nname\r\n=\r\n\0\xff]\r\nname=first\r\n"s, 0,
         1},
        {"LF, blank lines, other case, spaces",
         "\n[EFFECT]\nLen = 1\n\n\n[123456]\nMASTER = 9\nname=first\n", 0, 1},
        {"empty file", "", 0, 0},
        {"first step outside the show", "[effect]\r\nlen=1\r\n" + step, 500, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(effect, c.text);
        EXPECT_EQ(applyEffectFile(store, effect, c.first, false), c.stored);
        std::vector<StepRecord> after = snapshot();
        for (int s = 0; s < kStepCount; ++s) {
            bool laid = s == c.first && c.stored > 0;
            EXPECT_EQ(after[s].master, laid ? 9 : before[s].master) << s;
            EXPECT_EQ(after[s].name, laid ? "first" : before[s].name) << s;
        }
        SetUp();
    }
}

} // namespace

TEST(DataFile, AbsoluteNamesAreTakenAsGiven) {
    orvane::test::TempDir root, elsewhere;
    orvane::test::writeFile(elsewhere.file("Far.EFE"), "x");
    auto exact = findDataFile(root.path(), elsewhere.file("Far.EFE"));
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->path, elsewhere.file("Far.EFE"));
    EXPECT_FALSE(exact->caseFolded);
    // Letter case still folds, and "\" still separates.
    std::string windowsSpelling = elsewhere.path() + "\\far.efe";
    auto folded = findDataFile(root.path(), windowsSpelling);
    ASSERT_TRUE(folded);
    EXPECT_EQ(folded->path, elsewhere.file("Far.EFE"));
    EXPECT_TRUE(folded->caseFolded);
    EXPECT_FALSE(findDataFile(root.path(), elsewhere.file("none.efe")));
}
