// The show store: step records in and out of the show table, and the table in
// and out of the show file.

#include "show/patch.h"
#include "show/showstore.h"
#include "support/stepkeyorder.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace orvane;
using orvane::test::readFile;
using orvane::test::TempDir;
using orvane::test::writeFile;

namespace {

struct StoreFixture : ::testing::Test {
    TempDir dir;
    ProfileFiles profiles;
    ShowStore store{profiles};
    std::string path = dir.file("dmx.ini");

    void SetUp() override { store.setShowFilePath(path); }

    void loadText(std::string_view text) {
        writeFile(path, text);
        ASSERT_EQ(store.LoadShowFile(path), 0);
    }
    StepRecord load(int step) {
        StepRecord r;
        store.LoadStep(step, r);
        return r;
    }
    // Every "key=value" line of the written file, in order, without the two header lines.
    std::vector<std::string> writtenKeys() {
        EXPECT_EQ(store.WriteShowFile(path), 0);
        std::string text = readFile(path);
        std::vector<std::string> keys;
        size_t pos = 0;
        int line = 0;
        while (pos < text.size()) {
            size_t end = text.find("\r\n", pos);
            std::string l = text.substr(pos, end - pos);
            pos = end + 2;
            if (line++ >= 2)
                keys.push_back(l.substr(0, l.find('=')));
        }
        return keys;
    }
};

StepRecord sampleRecord() {
    StepRecord r;
    r.master = 200;
    // Only the values an entry's type keeps.
    for (int i = 0; i < kEntryCount; ++i) {
        int type = kPatch[i].type;
        if (type == kTypeLamp)
            r.lamp[i] = {uint32_t(0x102030 + i), uint8_t(i), uint8_t(255 - i), uint8_t(i * 2),
                         uint8_t(i * 3)};
        else
            r.pair[i] = {uint8_t(100 + i),
                         uint8_t(type == kTypeFogPair || type == kTypeTwoChannel ? 50 + i : 0)};
    }
    for (int f = 0; f < kFaderCount; ++f)
        r.fader[f] = 9 * f;
    for (int c = 0; c < kCheckCount; ++c)
        r.check[c] = c % 2;
    for (int c = 0; c < kColourCount; ++c)
        r.colour[c] = makeColour(uint8_t(c), uint8_t(c * 10), uint8_t(c * 20));
    r.name = "Opening\\nsecond line";
    r.masteront = 1.25;
    r.masterofft = 3.5;
    r.fadet = 2.5;
    r.keycode = 0x70;
    r.keymodifier = 4;
    r.autofade = 1;
    r.gotoFlag = 1;
    r.gotostep = -3;
    r.playatbegin = 1;
    r.nextonstop = 1;
    r.faderude = 1;
    r.togglepause = 1;
    r.soundnameatbegin = "intro (SC=A).wav";
    r.sound1 = 5000;
    r.sound2 = 10000;
    r.stepsound = 1;
    r.soundlocked = 0;
    r.extra = "EXEC=ls\\nSMOKE=ON";
    r.ple = "chase.efe (GLOBAL)";
    for (int s = 0; s < kScannerCount; ++s) {
        for (int c = 0; c < kScannerBytes; ++c)
            r.scanner[s].channel[c] = uint8_t(10 * s + c + 1);
        r.scanner[s] = {r.scanner[s].channel, -100 - s, 200 + s, s};
    }
    for (int h = 0; h < kHeadCount; ++h) {
        for (int c = 0; c < (h == 0 ? kHead1Bytes : kHeadBytes); ++c)
            r.head[h].channel[c] = uint8_t(20 * h + c + 1);
        r.head[h].padX = -h;
        r.head[h].padY = 1000 * h;
        r.head[h].raw = 1;
    }
    return r;
}

} // namespace

TEST_F(StoreFixture, NeverSavedStepLoadsAsZerosWithSoundLocked) {
    StepRecord r = load(42);
    StepRecord expected;
    expected.soundlocked = 1;
    EXPECT_EQ(r, expected);
    uint32_t fadeMs = 99;
    store.LoadStep(42, r, {}, &fadeMs);
    EXPECT_EQ(fadeMs, 0u);
}

TEST_F(StoreFixture, SavedRecordLoadsBackWholeThroughTableAndFile) {
    StepRecord r = sampleRecord();
    // Scanners 2 and 3 keep no bytes 4 and 5: a load leaves them as they were.
    store.SaveStep(12, r);
    StepRecord back;
    store.LoadStep(12, back);
    for (int s = 1; s < kScannerCount; ++s)
        for (int c : {4, 5})
            back.scanner[s].channel[c] = r.scanner[s].channel[c];
    EXPECT_EQ(back, r);

    ASSERT_EQ(store.WriteShowFile(path), 0);
    ProfileFiles otherProfiles;
    ShowStore reloaded(otherProfiles);
    reloaded.setShowFilePath(path);
    ASSERT_EQ(reloaded.LoadShowFile(path), 0);
    StepRecord fromFile;
    reloaded.LoadStep(12, fromFile);
    for (int s = 1; s < kScannerCount; ++s)
        for (int c : {4, 5})
            fromFile.scanner[s].channel[c] = r.scanner[s].channel[c];
    EXPECT_EQ(fromFile, r);
}

// The playback clock reads the current and the next step on every tick from
// the store's kept copies: a change of any kind must show at once.
TEST_F(StoreFixture, StoredStepsFollowEveryChangeOfTheirContents) {
    StepRecord r = sampleRecord();
    store.SaveStep(12, r);
    const StepRecord& first = store.StoredStep(12);
    const StepRecord& second = store.StoredStep(13);
    EXPECT_EQ(first, load(12)) << "as a load into a fresh record";
    EXPECT_EQ(second, load(13));
    EXPECT_EQ(&store.StoredStep(12), &first) << "kept, not read again";

    r.master = 17;
    r.name = "changed";
    store.SaveStep(12, r);
    EXPECT_EQ(store.StoredStep(12).master, 17);
    EXPECT_EQ(store.StoredStep(12).name, "changed");

    // Check flags 1-4 of every step live in section 0: a save of another step
    // changes them for this one too.
    StepRecord other;
    other.check = {0, 1, 1, 0, 0, 0, 0, 0};
    store.SaveStep(200, other);
    EXPECT_EQ(store.StoredStep(12).check, load(12).check);
    EXPECT_EQ(store.StoredStep(12).check[1], 1);

    // A write straight into the table (an extra command, the builder), and a
    // whole new show file.
    store.table().write(13, "13$master", "99");
    EXPECT_EQ(store.StoredStep(13).master, 99);
    loadText("[GLOBAL]\r\nmanualstep=1\r\n12$master=5\r\n");
    EXPECT_EQ(store.StoredStep(12).master, 5);
    EXPECT_EQ(store.StoredStep(13), load(13));
    store.table().clear();
    EXPECT_EQ(store.StoredStep(12), load(12));
}

TEST_F(StoreFixture, SharedShutterFlagsLiveInSectionZero) {
    StepRecord r;
    r.check = {1, 1, 0, 1, 1, 0, 0, 1};
    store.SaveStep(7, r);
    EXPECT_EQ(store.ReadStoreInt("0", "check1", -1, path), 1);
    EXPECT_EQ(store.ReadStoreInt("0", "check4", -1, path), 1);
    EXPECT_EQ(store.ReadStoreInt("7", "check1", -1, path), -1);
    EXPECT_EQ(store.ReadStoreInt("7", "check5", -1, path), 1);
    StepRecord other = load(300);
    EXPECT_EQ(other.check[0], 1);
    EXPECT_EQ(other.check[1], 1);
    EXPECT_EQ(other.check[3], 1);
    EXPECT_EQ(other.check[4], 0);
}

TEST_F(StoreFixture, ReadingTheShowFileFollowsItsLineRules) {
    loadText("[GLOBAL]\r\nmanualstep=3\r\n"
             "12$MASTER=3\r\n"  // keys compare without case
             "012$master=9\r\n" // stored under its own text: not step 12's
             "600$master=5\r\n" // outside the table: dropped
             "3$extra=A=B\r\n"  // the value keeps every further '='
             "no equals sign here\r\n"
             "\r\n"
             "[5]\nmaster=77\n" // plain sections and LF line ends
             "4$fadet=2.5\r\n"
             "6$fadet=0.0019\r\n"
             "4$name=last"); // no line end: loses its last character
    EXPECT_EQ(store.manualStep(), 3u);
    EXPECT_EQ(load(12).master, 3);
    EXPECT_EQ(load(3).extra, "A=B");
    EXPECT_EQ(load(5).master, 77);
    EXPECT_EQ(load(4).name, "las");
    EXPECT_EQ(store.ReadStoreInt("012", "master", -1, path), 9);
    uint32_t ms = 0;
    StepRecord r;
    store.LoadStep(4, r, {}, &ms);
    EXPECT_EQ(ms, 2500u);
    store.LoadStep(6, r, {}, &ms);
    EXPECT_EQ(ms, 1u);
    EXPECT_EQ(store.table().entryCount(), 8u); // including GLOBAL$manualstep and 5$master
}

TEST_F(StoreFixture, MissingShowFileLeavesTableEmptyAndManualStepOne) {
    EXPECT_EQ(store.LoadShowFile(dir.file("absent.ini")), -1);
    EXPECT_EQ(store.manualStep(), 1u);
    EXPECT_EQ(store.table().entryCount(), 0u);
}

TEST_F(StoreFixture, WritesOutsideTheTableChangeNothing) {
    store.SaveStep(500, sampleRecord());
    store.SaveStep(-1, sampleRecord());
    EXPECT_EQ(store.table().entryCount(), 0u);
    EXPECT_EQ(store.ReadStoreInt("500", "master", -7, path), -7);
}

TEST_F(StoreFixture, LightOnlySaveKeepsTheNonLightPart) {
    StepRecord first = sampleRecord();
    store.SaveStep(9, first);
    StepRecord changed;
    changed.master = 11;
    changed.name = "other";
    changed.fadet = 9.0;
    store.SaveStep(9, changed, {}, true);
    StepRecord r = load(9);
    EXPECT_EQ(r.master, 11);
    EXPECT_EQ(r.name, first.name);
    EXPECT_EQ(r.extra, first.extra);
    EXPECT_DOUBLE_EQ(r.fadet, first.fadet);
    EXPECT_EQ(r.autofade, 1);
    EXPECT_EQ(r.soundlocked, 0);
}

TEST_F(StoreFixture, FirstSaveWritesKeysInTheirFixedOrder) {
    store.SaveStep(2, StepRecord{});
    std::vector<std::string> keys = writtenKeys();
    // Section 0 holds only the four shared flags; then step 2's own keys.
    std::vector<std::string> expected = {"0$check1", "0$check2", "0$check3", "0$check4"};
    for (const std::string& k : orvane::test::firstSaveOrder())
        expected.push_back("2$" + k);
    EXPECT_EQ(expected.size(), 317u);
    EXPECT_EQ(keys, expected);
}

TEST_F(StoreFixture, ValuesAreWrittenInTheirEncodings) {
    StepRecord r = sampleRecord();
    r.lamp[0].colour = 16777215;
    store.SaveStep(1, r);
    auto value = [&](const char* key) { return store.ReadStoreString("1", key, "?", 1024, path); };
    EXPECT_EQ(value("F0C"), "16777215");
    EXPECT_EQ(value("fadet"), "2.500000");
    EXPECT_EQ(value("gotostep"), "-3");
    EXPECT_EQ(value("scan2x"), "-101");
    EXPECT_EQ(value("color_g2"), "10");
    EXPECT_EQ(value("name"), "Opening\\nsecond line");
}

TEST_F(StoreFixture, ShowFileGainsGlobalManualStepAndKeepsForeignLines) {
    loadText("[GLOBAL]\r\nmanualstep=4\r\n1$master=10\r\n1$custom=kept\r\n");
    store.SaveStep(1, load(1));
    ASSERT_EQ(store.WriteShowFile(path), 0);
    std::string text = readFile(path);
    // The entry that was read first stays first; the new keys follow it.
    std::string head = "[GLOBAL]\r\nmanualstep=4\r\nGLOBAL$manualstep=4\r\n0$check1=0\r\n"
                       "0$check2=0\r\n0$check3=0\r\n0$check4=0\r\n1$master=10\r\n"
                       "1$custom=kept\r\n1$F0C=0\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        ASSERT_EQ(text[i - 1], '\r');
}

TEST_F(StoreFixture, LongTextsKeepEveryByteAndLineEndsNeverBreakTheFile) {
    std::string huge;
    for (int i = 0; i < 2000; ++i)
        huge += "VEDA=[" + std::to_string(i) + "]HELLO\\n";
    store.WriteStoreValue("8", "extra", huge, path);
    store.WriteStoreValue("8", "name", "\xE9t\xE9" + std::string(5000, 'x'), path);
    store.WriteStoreValue("8", "ple", "one\r\ntwo", path);
    ASSERT_EQ(store.WriteShowFile(path), 0);
    std::string text = readFile(path);
    EXPECT_NE(text.find("8$ple=one\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\ntwo"), std::string::npos);
    loadText(text);
    EXPECT_EQ(load(8).extra, huge);
    EXPECT_EQ(load(8).name, "\xE9t\xE9" + std::string(5000, 'x'));
}

TEST_F(StoreFixture, FailedWriteLeavesThePreviousShowFileIntact) {
    loadText("[GLOBAL]\r\nmanualstep=1\r\n1$master=10\r\n");
    std::string before = readFile(path);
    for (int s = 0; s < kStepCount; ++s)
        store.SaveStep(s, sampleRecord());
    pid_t child = fork();
    if (child == 0) {
        // A file size limit makes a line write fail part way through.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(-store.WriteShowFile(path));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 5);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(store.WriteShowFile(dir.file("missing/dmx.ini")), -1);
    // No temporary file is left behind.
    EXPECT_EQ(system(("test $(ls -A " + dir.path() + " | wc -l) -eq 1").c_str()), 0);
}

TEST_F(StoreFixture, OtherFilesGoThroughTheProfileModule) {
    std::string effect = dir.file("chase.efe");
    StepRecord r = sampleRecord();
    store.SaveStep(123456, r, effect);
    EXPECT_EQ(store.table().entryCount(), 0u);
    StepRecord back;
    store.LoadStep(123456, back, effect);
    EXPECT_EQ(back.master, 200);
    EXPECT_EQ(back.extra, r.extra);
    EXPECT_EQ(store.ReadStoreInt("0", "check2", -1, effect), 1);
    std::string text = readFile(effect);
    EXPECT_NE(text.find("[123456]\r\nmaster=200\r\n"), std::string::npos);
    EXPECT_EQ(store.ReadStoreString("123456", "name", "", 5, effect), "Open");
}
