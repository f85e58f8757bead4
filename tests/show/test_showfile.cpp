// The show file on disk: what a save gives back, what a damaged or strange
// file does to a load, backups, leftovers of a killed save, and saves that
// fail on a full disk or a read-only folder.

#include "show/showstore.h"
#include "support/privatemounts.h"
#include "support/showsnapshot.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using orvane::test::readFile;
using orvane::test::snapshotSteps;
using orvane::test::TempDir;
using orvane::test::writeFile;

namespace {

std::string repro(const char* name) {
    return readFile(std::string(ORVANE_SOURCE_DIR) + "/tests/data/fuzz-repro/" + name);
}

struct ShowFileFixture : ::testing::Test {
    TempDir dir;
    ProfileFiles profiles;
    ShowStore store{profiles};
    std::string path = dir.file("dmx.ini");

    void SetUp() override { store.setShowFilePath(path); }

    // Loads text as the show file, saves it untouched and reloads the result.
    // Every step and the manual step must load the same before and after.
    void expectSaveChangesNothing(const std::string& label, const std::string& text) {
        writeFile(path, text);
        ShowStore before(profiles);
        before.setShowFilePath(path);
        ASSERT_EQ(before.LoadShowFile(path), 0) << label;
        std::vector<StepRecord> steps = snapshotSteps(before);
        ASSERT_EQ(before.WriteShowFile(path), 0) << label;
        ShowStore after(profiles);
        after.setShowFilePath(path);
        ASSERT_EQ(after.LoadShowFile(path), 0) << label;
        EXPECT_EQ(after.manualStep(), before.manualStep()) << label;
        std::vector<StepRecord> again = snapshotSteps(after);
        for (int s = 0; s < kStepCount; ++s)
            ASSERT_EQ(again[size_t(s)], steps[size_t(s)]) << label << ": step " << s;
        // From the second save on (the first adds GLOBAL$manualstep), the bytes stay.
        ASSERT_EQ(after.WriteShowFile(path), 0);
        std::string written = readFile(path);
        ShowStore third(profiles);
        third.setShowFilePath(path);
        ASSERT_EQ(third.LoadShowFile(path), 0);
        ASSERT_EQ(third.WriteShowFile(path), 0);
        EXPECT_EQ(readFile(path), written) << label;
    }
};

} // namespace

TEST_F(ShowFileFixture, ASaveWithoutEditsNeverChangesWhatAStepLoads) {
    // A line is read whole, however long: the key line after "=" is the name's.
    std::string longName(2041, 'n');
    const std::pair<std::string, std::string> files[] = {
        {"section header holding a key", repro("show_eq_in_section_header.ini")},
        {"lone CR inside values", repro("show_lone_cr_value.ini")},
        {"lone CR line ends", repro("show_cr_line_ends.ini")},
        {"texts longer than 1023 bytes", repro("show_long_extra.ini")},
        {"numbers past 32 bits", repro("check_numbers_past_32_bits.ini")},
        {"extreme stored values", repro("dmx_ini_master_intmin.ini")},
        {"a line longer than a read line, its rest a key line",
         "[GLOBAL]\r\n3$master=10\r\n5$name=" + longName + "3$master=99\r\n"},
        {"a text of 1020 bytes", "4$name=" + std::string(1020, 'x') + "\r\n[4]\r\n"},
        {"header beginning with a bracket", "[[3]\r\nmaster=4\r\n[3]\r\nmaster=5\r\n"},
        {"header with '=' and '$'", "[3$a=b$]\r\nk=1\r\n[3]\r\nmaster=7\r\n"},
        {"value ending in CR, CR alone", "[2]\r\nname=end\r\r\nextra=\r\r\n"},
        {"keys in any case, repeated",
         "[1]\r\nMASTER=5\r\n1$master=6\r\n[GLOBAL]\r\nmanualstep=x\r\n"},
        {"Windows-1252 texts",
         "[GLOBAL]\r\n0$name=fond rouge \xE9t\xE9\r\n1$extra=Premier pas\x85\r\n"},
        {"no line end at the end", "[7]\r\nmaster=12"},
    };
    for (const auto& [label, text] : files)
        expectSaveChangesNothing(label, text);
}

TEST_F(ShowFileFixture, ReproducersKeepTheirValues) {
    writeFile(path, repro("show_eq_in_section_header.ini"));
    ASSERT_EQ(store.LoadShowFile(path), 0);
    ASSERT_EQ(store.WriteShowFile(path), 0);
    EXPECT_NE(readFile(path).find("\r\n[3$master=99]\r\nx=1\r\n"), std::string::npos);
    ShowStore reloaded(profiles);
    reloaded.setShowFilePath(path);
    ASSERT_EQ(reloaded.LoadShowFile(path), 0);
    StepRecord r;
    reloaded.LoadStep(3, r);
    EXPECT_EQ(r.master, 10);

    writeFile(path, repro("show_lone_cr_value.ini"));
    ASSERT_EQ(reloaded.LoadShowFile(path), 0);
    ASSERT_EQ(reloaded.WriteShowFile(path), 0);
    EXPECT_NE(readFile(path).find("2$extra=MISC1=ON\rMISC2=ON\r\n2$name=first\rsecond\r\n"),
              std::string::npos);
}

TEST_F(ShowFileFixture, LaterReproducersLoseNothing) {
    auto loaded = [&](const char* name) {
        writeFile(path, repro(name));
        auto fresh = std::make_unique<ShowStore>(profiles);
        fresh->setShowFilePath(path);
        EXPECT_EQ(fresh->LoadShowFile(path), 0) << name;
        return fresh;
    };
    StepRecord r;
    std::unique_ptr<ShowStore> s = loaded("show_long_extra.ini");
    s->LoadStep(5, r);
    const std::string text = repro("show_long_extra.ini");
    size_t from = text.find("5$extra=") + 8;
    EXPECT_EQ(r.extra, text.substr(from, text.find("\r\n", from) - from));
    EXPECT_GT(r.extra.size(), 1023u);
    EXPECT_EQ(r.name.size(), 1500u);

    s = loaded("show_cr_line_ends.ini");
    EXPECT_TRUE(s->lastLoad().loneCrLineEnds);
    EXPECT_EQ(s->lastLoad().unreadLines, 0u);
    s->LoadStep(4, r);
    EXPECT_EQ(r.name, "Blackout");
    EXPECT_DOUBLE_EQ(r.fadet, 4.0);
    ASSERT_EQ(s->WriteShowFile(path), 0);
    EXPECT_NE(readFile(path).find("\r\n4$name=Blackout\r\n"), std::string::npos);

    // A section past 32 bits is not step 1; a goto past 32 bits is not step 0.
    s = loaded("check_numbers_past_32_bits.ini");
    s->LoadStep(1, r);
    EXPECT_DOUBLE_EQ(r.fadet, 0.0);
    s->LoadStep(4, r);
    EXPECT_EQ(r.gotostep, INT32_MAX);
}

TEST_F(ShowFileFixture, ValuesOutsideTheirRangeLoadClamped) {
    writeFile(path, "[1]\r\nmaster=-2147483648\r\n1=2147483648\r\n2=-7\r\n3=300\r\n"
                    "fadet=1e300\r\nmasteront=-2.5\r\nmasterofft=nan\r\nsound1=99999\r\n"
                    "sound2=-1\r\ngotostep=-3\r\nF14F=300\r\n");
    ASSERT_EQ(store.LoadShowFile(path), 0);
    StepRecord r;
    uint32_t ms = 0;
    store.LoadStep(1, r, {}, &ms);
    EXPECT_EQ(r.master, 0);
    EXPECT_EQ(r.fader[0], 255);
    EXPECT_EQ(r.fader[1], 0);
    EXPECT_EQ(r.fader[2], 255);
    EXPECT_EQ(r.fadet, kMaxSeconds);
    EXPECT_EQ(ms, uint32_t(kMaxSeconds * 1000));
    EXPECT_EQ(r.masteront, 0.0);
    EXPECT_EQ(r.masterofft, 0.0);
    EXPECT_EQ(r.sound1, 10000);
    EXPECT_EQ(r.sound2, 0);
    EXPECT_EQ(r.gotostep, -3);       // a goto nowhere stays one
    EXPECT_EQ(r.pair[14].first, 44); // bytes keep their low 8 bits
}

TEST_F(ShowFileFixture, TheLoadCountsWhatItCouldNotRead) {
    struct Case {
        std::string label;
        std::string text;
        size_t lines, unread;
        bool show;
    } cases[] = {
        {"clean", "[GLOBAL]\r\nmanualstep=1\r\n1$master=3\r\n", 3, 0, true},
        {"damaged lines", "before=header\r\n[GLOBAL]\r\nno equals\r\n1$master=3\r\n600$x=1\r\n", 5,
         3, true},
        {"empty", "", 0, 0, true},
        {"not a show", "\x89PNG\r\n\x1a\n", 2, 2, false},
        // Headers alone hold nothing a show could use: a save asks first.
        {"headers alone", "[a]\r\n[b]\r\n", 2, 0, false},
    };
    for (const Case& c : cases) {
        writeFile(path, c.text);
        ASSERT_EQ(store.LoadShowFile(path), 0) << c.label;
        const ShowFileReport& r = store.lastLoad();
        EXPECT_TRUE(r.exists && r.readWhole) << c.label;
        EXPECT_EQ(r.lines, c.lines) << c.label;
        EXPECT_EQ(r.unreadLines, c.unread) << c.label;
        EXPECT_EQ(r.looksLikeShow(), c.show) << c.label;
    }
}

TEST_F(ShowFileFixture, OnlyARegularFileIsReadAsAShow) {
    store.WriteStoreValue("1", "master", "5", path);
    // A FIFO would block a reader for ever: it is refused at once.
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    EXPECT_EQ(store.LoadShowFile(path), -1);
    EXPECT_TRUE(store.lastLoad().exists);
    EXPECT_FALSE(store.lastLoad().readWhole);
    EXPECT_EQ(store.lastLoad().reason, "not a regular file");
    EXPECT_EQ(store.table().entryCount(), 1u); // the table is left as it was
    ::unlink(path.c_str());

    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    EXPECT_EQ(store.LoadShowFile(path), -1);
    EXPECT_EQ(store.lastLoad().reason, std::strerror(EISDIR));
    ::rmdir(path.c_str());

    EXPECT_EQ(store.LoadShowFile(path), -1);
    EXPECT_FALSE(store.lastLoad().exists);
}

TEST_F(ShowFileFixture, EachSaveKeepsThePreviousFileAsBackup) {
    writeFile(path, "[GLOBAL]\r\nmanualstep=1\r\n1$master=1\r\n");
    std::string original = readFile(path);
    ASSERT_EQ(store.LoadShowFile(path), 0);
    store.WriteStoreValue("1", "master", "2", path);
    ASSERT_EQ(store.WriteShowFile(path), 0);
    std::string first = readFile(path);
    EXPECT_EQ(readFile(path + ".bak"), original);
    struct stat st {};
    ASSERT_EQ(::stat((path + ".bak").c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u); // renamed, not a second name of the show file
    store.WriteStoreValue("1", "master", "3", path);
    ASSERT_EQ(store.WriteShowFile(path), 0);
    EXPECT_EQ(readFile(path + ".bak"), first);
    EXPECT_NE(readFile(path).find("1$master=3\r\n"), std::string::npos);
    EXPECT_EQ(store.lastBackupReason(), "");
    // A new show has nothing to keep.
    TempDir other;
    ASSERT_EQ(store.WriteShowFile(other.file("dmx.ini")), 0);
    EXPECT_NE(::access(other.file("dmx.ini.bak").c_str(), F_OK), 0);
}

TEST_F(ShowFileFixture, ABackupThatCannotBeKeptIsSaidAndTheShowIsWrittenAllTheSame) {
    writeFile(path, "[GLOBAL]\r\nmanualstep=1\r\n1$master=1\r\n");
    ASSERT_EQ(store.LoadShowFile(path), 0);
    ASSERT_EQ(::mkdir((path + ".bak").c_str(), 0755), 0);
    writeFile(path + ".bak/inside", "mine");
    store.WriteStoreValue("1", "master", "2", path);
    ASSERT_EQ(store.WriteShowFile(path), 0);
    EXPECT_EQ(store.lastBackupReason(), std::strerror(EISDIR));
    EXPECT_NE(readFile(path).find("1$master=2\r\n"), std::string::npos);
    EXPECT_EQ(readFile(path + ".bak/inside"), "mine");
    // No temporary file stays behind.
    EXPECT_EQ(system(("test $(ls -A " + dir.path() + " | wc -l) -eq 2").c_str()), 0);
}

TEST_F(ShowFileFixture, WindowsTextsAreWrittenBackByteForByte) {
    std::string text = "[GLOBAL]\r\nmanualstep=1\r\n3$name=fond rouge \xE9t\xE9 \x80\r\n";
    writeFile(path, text);
    ASSERT_EQ(store.LoadShowFile(path), 0);
    EXPECT_EQ(store.encoding(), TextEncoding::Windows1252);
    StepRecord r;
    store.LoadStep(3, r);
    EXPECT_EQ(r.name, "fond rouge \xE9t\xE9 \x80");
    store.SaveStep(3, r);
    ASSERT_EQ(store.WriteShowFile(path), 0);
    EXPECT_NE(readFile(path).find("3$name=fond rouge \xE9t\xE9 \x80\r\n"), std::string::npos);

    writeFile(path, "[3]\r\nname=caf\xC3\xA9\r\n");
    ASSERT_EQ(store.LoadShowFile(path), 0);
    EXPECT_EQ(store.encoding(), TextEncoding::Utf8);
}

TEST_F(ShowFileFixture, LeftoversOfAKilledSaveGoAtTheNextStart) {
    writeFile(dir.file(".dmx.ini.a1B2c3"), "half a show");
    writeFile(dir.file(".dmx.ini.recovery.Q7w8E9"), "half a recovery file");
    writeFile(dir.file(".chase.EFE.Zz9Zz9"), "half an effect");
    writeFile(dir.file(".lost.efe.previous"), "an effect set aside");
    writeFile(dir.file(".kept.efe.previous"), "old effect");
    writeFile(dir.file("kept.efe"), "new effect");
    // Not ours: left alone.
    writeFile(dir.file(".dmx.ini.toolong7"), "x");
    writeFile(dir.file(".notes.txt.abcdef"), "x");
    writeFile(dir.file("dmx.ini"), "the show");
    EXPECT_EQ(removeSaveLeftovers(dir.path()), 5);
    EXPECT_NE(::access(dir.file(".dmx.ini.a1B2c3").c_str(), F_OK), 0);
    EXPECT_NE(::access(dir.file(".dmx.ini.recovery.Q7w8E9").c_str(), F_OK), 0);
    EXPECT_NE(::access(dir.file(".chase.EFE.Zz9Zz9").c_str(), F_OK), 0);
    EXPECT_EQ(readFile(dir.file("lost.efe")), "an effect set aside");
    EXPECT_EQ(readFile(dir.file("kept.efe")), "new effect");
    EXPECT_NE(::access(dir.file(".kept.efe.previous").c_str(), F_OK), 0);
    EXPECT_EQ(::access(dir.file(".dmx.ini.toolong7").c_str(), F_OK), 0);
    EXPECT_EQ(::access(dir.file(".notes.txt.abcdef").c_str(), F_OK), 0);
    EXPECT_EQ(readFile(dir.file("dmx.ini")), "the show");
}

TEST(ShowFileWrite, AFullDiskOrAReadOnlyFolderLeavesTheOldFileAndSaysWhy) {
    if (!orvane::test::inPrivateMounts())
        return;
    TempDir dir;
    std::string full = dir.file("full");
    std::string readOnly = dir.file("ro");
    ::mkdir(full.c_str(), 0755);
    ::mkdir(readOnly.c_str(), 0755);
    ASSERT_TRUE(orvane::test::mountTmpfs(full, 64 * 1024));
    std::string old = "[GLOBAL]\r\nmanualstep=1\r\n1$master=1\r\n";
    writeFile(full + "/dmx.ini", old);
    writeFile(readOnly + "/dmx.ini", old);
    ASSERT_TRUE(orvane::test::bindReadOnly(readOnly));

    ProfileFiles profiles;
    ShowStore store(profiles);
    StepRecord r;
    r.name = std::string(1000, 'n');
    for (int s = 0; s < kStepCount; ++s)
        store.SaveStep(s, r);
    EXPECT_EQ(store.WriteShowFile(full + "/dmx.ini"), -5);
    EXPECT_EQ(store.lastWriteReason(), std::strerror(ENOSPC));
    EXPECT_EQ(readFile(full + "/dmx.ini"), old);
    EXPECT_EQ(store.WriteShowFile(readOnly + "/dmx.ini"), -1);
    EXPECT_EQ(store.lastWriteReason(), std::strerror(EROFS));
    EXPECT_EQ(readFile(readOnly + "/dmx.ini"), old);
    EXPECT_EQ(store.WriteShowFile(dir.file("missing/dmx.ini")), -1);
    EXPECT_EQ(store.lastWriteReason(), std::strerror(ENOENT));
}
