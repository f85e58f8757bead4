// Effect files: the sections and keys written, laying an effect over the show,
// damaged files, and finding effect files by the names show data gives.

#include "show/datafile.h"
#include "show/effectfile.h"
#include "support/stepkeyorder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane;
using test::readFile;
using test::writeFile;
using namespace std::string_literals;

namespace {

StepRecord stepContent(int step) {
    StepRecord r;
    r.master = step % 256;
    r.fader[0] = 255 - step % 256;
    r.lamp[2] = {uint32_t(step) * 3u, 1, 2, 3, 4};
    r.head[0].channel[15] = uint8_t(step);
    r.check = {0, 0, 0, 0, 1, 0, step % 2, 1};
    r.name = "step " + std::to_string(step);
    r.ple = "ple " + std::to_string(step);
    r.fadet = 1.5;
    r.soundlocked = 0;
    return r;
}

// The lines of a file, without their CR LF.
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

struct EffectFixture : ::testing::Test {
    test::TempDir dir;
    ProfileFiles profiles;
    ShowStore store{profiles};
    std::string effect = dir.file("chase.EFE");

    void SetUp() override {
        store.setShowFilePath(dir.file("dmx.ini"));
        for (int s = 0; s < kStepCount; ++s)
            store.SaveStep(s, stepContent(s));
    }
    StepRecord load(int step) {
        StepRecord r;
        store.LoadStep(step, r);
        return r;
    }
    std::vector<StepRecord> snapshot() {
        std::vector<StepRecord> all;
        for (int s = 0; s < kStepCount; ++s)
            all.push_back(load(s));
        return all;
    }
    // What a step reads as after a full save of r and a load.
    StepRecord stored(const StepRecord& r) {
        store.SaveStep(0, r);
        return load(0);
    }
};

TEST_F(EffectFixture, ThreeStepsSavedAtStep498EndWithAnEmptyStep) {
    ASSERT_TRUE(writeEffectFile(store, effect, 498, 3));
    std::vector<std::string> got = lines(readFile(effect));
    // Sections in order of creation, each step with the keys of a full save
    // in their order, the shared flags in "0".
    std::vector<std::string> want = {"[effect]", "len=3"};
    auto addStep = [&](int section, int from) {
        want.push_back("[" + std::to_string(section) + "]");
        for (const std::string& key : test::firstSaveOrder()) {
            std::string value =
                from < kStepCount ? store.ReadStoreString(std::to_string(from), key, "?", 4096, {})
                                  : test::emptyStepValue(key);
            want.push_back(key + "=" + value);
        }
        if (section == kEffectFirstSection) {
            want.push_back("[0]");
            for (int c = 1; c <= 4; ++c)
                want.push_back("check" + std::to_string(c) + "=0");
        }
    };
    addStep(123456, 498);
    addStep(123457, 499);
    addStep(123458, 500);
    EXPECT_EQ(got, want);

    StepRecord r;
    ASSERT_TRUE(loadEffectStep(store, effect, 0, r));
    EXPECT_EQ(r, load(498));
    ASSERT_TRUE(loadEffectStep(store, effect, 1, r));
    EXPECT_EQ(r, load(499));
    ASSERT_TRUE(loadEffectStep(store, effect, 2, r));
    EXPECT_EQ(r, StepRecord{}); // all zeros, empty texts, soundlocked 1
}

TEST_F(EffectFixture, ACountOfZeroWritesOnlyTheLength) {
    ASSERT_TRUE(writeEffectFile(store, effect, 10, 0));
    EXPECT_EQ(readFile(effect), "[effect]\r\nlen=0\r\n");
    EXPECT_EQ(effectLength(store, effect), 0u);
}

TEST_F(EffectFixture, SavingReplacesTheWholePreviousFile) {
    ASSERT_TRUE(writeEffectFile(store, effect, 10, 4));
    ASSERT_TRUE(writeEffectFile(store, effect, 20, 1));
    EXPECT_EQ(effectLength(store, effect), 1u);
    EXPECT_FALSE(profiles.hasSection(effect, "123457"));
    StepRecord r;
    ASSERT_TRUE(loadEffectStep(store, effect, 0, r));
    EXPECT_EQ(r, load(20));
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(EffectFixture, AFailedWriteKeepsThePreviousFile) {
    ASSERT_TRUE(writeEffectFile(store, effect, 10, 2));
    std::string before = readFile(effect);
    pid_t child = fork();
    if (child == 0) {
        // A file size limit makes the write fail part way through.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{16 * 1024, 16 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeEffectFile(store, effect, 30, 40) ? 0 : 7);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(readFile(effect), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_FALSE(writeEffectFile(store, dir.file("missing/x.efe"), 0, 1));
}

TEST_F(EffectFixture, TheShowFileIsNeverTakenForAnEffect) {
    ASSERT_EQ(store.WriteShowFile(store.showFilePath()), 0);
    std::string show = readFile(store.showFilePath());
    auto before = snapshot();
    for (std::string path :
         {store.showFilePath(), dir.path() + "/./dmx.ini",
          dir.path() + "/../" + std::filesystem::path(dir.path()).filename().string() +
              "/DMX.INI"}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(isShowFilePath(store, path));
        EXPECT_FALSE(writeEffectFile(store, path, 0, 2));
        EXPECT_EQ(applyEffectFile(store, path, 0, false), 0);
    }
    EXPECT_EQ(readFile(store.showFilePath()), show);
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(isShowFilePath(store, effect));
    EXPECT_FALSE(writeEffectFile(store, effect, 0, kEffectMaxSteps + 1));
}

TEST_F(EffectFixture, AnEffectIsLaidFromTheCurrentStepOn) {
    ASSERT_TRUE(writeEffectFile(store, effect, 100, 5));
    auto before = snapshot();
    EXPECT_EQ(applyEffectFile(store, effect, 497, false), 3); // the other two are dropped
    for (int s = 0; s < kStepCount; ++s)
        EXPECT_EQ(load(s), s >= 497 ? before[100 + s - 497] : before[s]) << s;
}

TEST_F(EffectFixture, ALightOnlyApplicationKeepsTheRestOfEachStep) {
    ASSERT_TRUE(writeEffectFile(store, effect, 100, 2));
    auto before = snapshot();
    EXPECT_EQ(applyEffectFile(store, effect, 300, true), 2);
    for (int i = 0; i < 2; ++i) {
        StepRecord want = before[100 + i]; // the light part of the effect step ...
        const StepRecord& kept = before[300 + i];
        want.name = kept.name; // ... and everything else as the step had it
        want.ple = kept.ple;
        want.gotostep = kept.gotostep;
        EXPECT_EQ(load(300 + i), want);
    }
    EXPECT_EQ(load(302), before[302]);
}

TEST_F(EffectFixture, TheSharedShutterFlagsTravelThroughSectionZero) {
    StepRecord r = load(0);
    r.check = {1, 0, 1, 0, 0, 0, 0, 0};
    store.SaveStep(0, r);
    ASSERT_TRUE(writeEffectFile(store, effect, 40, 2));
    EXPECT_EQ(profiles.readInt(effect, "0", "check1", -1), 1);
    EXPECT_EQ(profiles.readInt(effect, "0", "check2", -1), 0);
    EXPECT_EQ(profiles.readInt(effect, "0", "check3", -1), 1);
    EXPECT_FALSE(profiles.lookup(effect, "123456", "check1"));

    r.check = {0, 1, 0, 1, 0, 0, 0, 0};
    store.SaveStep(0, r);
    applyEffectFile(store, effect, 200, false);
    EXPECT_EQ(load(7).check, (std::array<int32_t, 8>{1, 0, 1, 0, 1, 0, 1, 1}));
}

// Files written elsewhere or damaged: whatever can be read is laid within the
// show, nothing else changes, nothing crashes.
TEST_F(EffectFixture, DamagedFilesLoadWhatTheyCan) {
    const std::string oneStep = "[123456]\r\nmaster=9\r\nname=first\r\n";
    struct Case {
        const char* what;
        std::string text;
        int first;
        int stored;
    };
    const Case cases[] = {
        {"huge len", "[effect]\r\nlen=99999999999\r\n" + oneStep, 0, 1},
        {"len past 32 bits", "[effect]\r\nlen=4294967297\r\n" + oneStep, 0, 1},
        {"negative len", "[effect]\r\nlen=-3\r\n" + oneStep, 0, 0},
        {"len not a number", "[effect]\r\nlen=many\r\n" + oneStep, 0, 0},
        {"no effect section", oneStep, 0, 0},
        {"steps missing", "[effect]\r\nlen=3\r\n" + oneStep, 10, 1},
        {"len larger than the show's end", "[effect]\r\nlen=2147483647\r\n" + oneStep, 499, 1},
        {"broken lines",
         "[effect\r\nlen=1\r\n[123456\r\nmaster=9\r\nname\r\n=\r\n\0\xff]\r\n"
         "name=first\r\n"s,
         0, 1},
        {"LF only, blanks and spaces",
         "\n[EFFECT]\nLen = 1\n\n\n[123456]\nMASTER = 9\n"
         "name=first\n",
         0, 1},
        {"empty file", "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        auto before = snapshot();
        writeFile(effect, c.text);
        EXPECT_EQ(applyEffectFile(store, effect, c.first, false), c.stored);
        for (int s = 0; s < kStepCount; ++s) {
            if (s == c.first && c.stored > 0) {
                EXPECT_EQ(load(s).master, 9);
                EXPECT_EQ(load(s).name, "first");
            } else {
                EXPECT_EQ(load(s), before[s]) << s;
            }
        }
    }
    EXPECT_EQ(applyEffectFile(store, dir.file("absent.efe"), 0, false), 0);
    EXPECT_EQ(applyEffectFile(store, effect, -1, false), 0);
    EXPECT_EQ(applyEffectFile(store, effect, 500, false), 0);
}

TEST_F(EffectFixture, AHandWrittenFileLoadsLikeAWrittenOne) {
    // Blank lines between sections and keys in other cases, as other writers
    // of the format produce.
    ASSERT_TRUE(writeEffectFile(store, effect, 60, 2));
    std::string text = readFile(effect);
    for (std::string from : {"\r\n[", "master=", "F2C="}) {
        std::string to = from == "\r\n[" ? "\r\n\r\n[" : from == "master=" ? "MASTER=" : "f2c=";
        for (size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    std::string other = dir.file("other.efe");
    writeFile(other, text);
    auto before = snapshot();
    EXPECT_EQ(applyEffectFile(store, other, 0, false), 2);
    EXPECT_EQ(load(0), before[60]);
    EXPECT_EQ(load(1), before[61]);
}

TEST_F(EffectFixture, EffectFilesOfAFolderAreListedByName) {
    for (const char* name : {"b.efe", "A.EFE", "c.Efe", "notes.txt", "d.efe.bak", ".efe"})
        writeFile(dir.file(name), "");
    std::filesystem::create_directory(dir.file("folder.efe"));
    EXPECT_EQ(listEffectFiles(dir.path()),
              (std::vector<std::string>{".efe", "A.EFE", "b.efe", "c.Efe"}));
    EXPECT_TRUE(listEffectFiles(dir.file("missing")).empty());
}

TEST_F(EffectFixture, NamesFromShowDataFindTheirFile) {
    std::filesystem::create_directories(dir.file("Sub/Deeper"));
    writeFile(dir.file("Sub/Deeper/Chase.EFE"), "x");
    writeFile(dir.file("plain.efe"), "x");
    struct Case {
        const char* name;
        const char* found; // relative to the folder; nullptr when nothing is found
        bool folded;
    };
    const Case cases[] = {
        {"plain.efe", "plain.efe", false},
        {"PLAIN.EFE", "plain.efe", true},
        {"Sub\\Deeper\\Chase.EFE", "Sub/Deeper/Chase.EFE", false},
        {"sub\\deeper\\chase.efe", "Sub/Deeper/Chase.EFE", true},
        {"Sub//./Deeper/Chase.EFE", "Sub/Deeper/Chase.EFE", false},
        {"missing.efe", nullptr, false},
        {"Sub\\Deeper", nullptr, false},
        {"", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<FoundFile> f = findDataFile(dir.path(), c.name);
        if (!c.found) {
            EXPECT_FALSE(f);
            continue;
        }
        ASSERT_TRUE(f);
        EXPECT_EQ(f->path, dir.file(c.found));
        EXPECT_EQ(f->caseFolded, c.folded);
    }
}

} // namespace
