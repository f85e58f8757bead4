// The recovery file on disk: a whole one is told from one cut short, changed
// or older than the show file, reads back as the show it was made from, and
// its writer leaves the newest text or nothing, and says why it could not.

#include "show/recoveryfile.h"
#include "show/showstore.h"
#include "support/privatemounts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using orvane::test::readFile;
using orvane::test::TempDir;
using orvane::test::writeFile;

namespace {

// A show file's text with a few steps in it.
std::string showText() {
    ProfileFiles profiles;
    ShowStore store(profiles);
    for (int s = 0; s < 5; ++s) {
        StepRecord r;
        r.master = 10 * s;
        r.name = "step " + std::to_string(s);
        store.SaveStep(s, r);
    }
    return store.ShowFileText();
}

void setModified(const std::string& path, time_t seconds) {
    timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

using State = RecoveryFileCheck::State;

TEST(RecoveryFile, WholeNewerDamagedOrOlder) {
    const std::string sealed = sealRecoveryText(showText());
    std::string changed = sealed;
    changed[changed.size() / 2] ^= 1;
    struct Row {
        const char* name;
        std::optional<std::string> recovery; // nothing: no file
        bool showFile;
        time_t showTime, recoveryTime;
        State state;
        const char* reason; // part of it
    } rows[] = {
        {"no recovery file", std::nullopt, true, 100, 200, State::Absent, ""},
        {"whole and newer", sealed, true, 100, 200, State::Usable, ""},
        {"whole, no show file yet", sealed, false, 0, 200, State::Usable, ""},
        {"a save came after it", sealed, true, 300, 200, State::Older, ""},
        {"saved at the same moment", sealed, true, 200, 200, State::Older, ""},
        {"cut short by one byte", sealed.substr(0, sealed.size() - 1), true, 100, 200,
         State::Damaged, "closing line is missing"},
        {"cut in the middle", sealed.substr(0, sealed.size() / 2), true, 100, 200, State::Damaged,
         "closing line is missing"},
        {"its show text without the closing line", showText(), true, 100, 200, State::Damaged,
         "closing line is missing"},
        {"one bit changed", changed, true, 100, 200, State::Damaged, "do not match"},
        {"a line added", "[1]\r\nmaster=3\r\n" + sealed, true, 100, 200, State::Damaged,
         "do not match"},
        {"empty", std::string(), true, 100, 200, State::Damaged, "closing line is missing"},
    };
    for (const Row& row : rows) {
        TempDir dir;
        std::string show = dir.file("dmx.ini"), recovery = recoveryFilePath(show);
        if (row.showFile) {
            writeFile(show, "[GLOBAL]\r\nmanualstep=1\r\n");
            setModified(show, row.showTime);
        }
        if (row.recovery) {
            writeFile(recovery, *row.recovery);
            setModified(recovery, row.recoveryTime);
        }
        RecoveryFileCheck check = checkRecoveryFile(recovery, show);
        EXPECT_EQ(check.state, row.state) << row.name;
        EXPECT_NE(check.reason.find(row.reason), std::string::npos)
            << row.name << ": " << check.reason;
        if (row.recovery) {
            EXPECT_EQ(check.written.tv_sec, row.recoveryTime) << row.name;
        }
    }
}

TEST(RecoveryFile, AFolderUnderItsNameIsRefused) {
    TempDir dir;
    std::string show = dir.file("dmx.ini");
    ::mkdir(recoveryFilePath(show).c_str(), 0755);
    RecoveryFileCheck check = checkRecoveryFile(recoveryFilePath(show), show);
    EXPECT_EQ(check.state, State::Damaged);
    EXPECT_EQ(check.reason, "not a regular file");
}

TEST(RecoveryFile, ReadsBackAsTheShowItWasMadeFrom) {
    TempDir dir;
    ProfileFiles profiles;
    // A show as the program holds it: read from its file.
    writeFile(dir.file("dmx.ini"), showText());
    ShowStore read(profiles);
    ASSERT_EQ(read.LoadShowFile(dir.file("dmx.ini")), 0);
    std::string text = read.ShowFileText();
    std::string path = recoveryFilePath(dir.file("dmx.ini"));
    ASSERT_EQ(writeFileWhole(path, sealRecoveryText(text)), 0);
    ShowStore store(profiles);
    ASSERT_EQ(store.LoadShowFile(path), 0);
    EXPECT_EQ(store.lastLoad().unreadLines, 0u);
    EXPECT_EQ(store.ShowFileText(), text);
}

struct WriterReports {
    std::mutex mutex;
    std::vector<RecoveryWriter::Report> reports;
    std::function<void(const RecoveryWriter::Report&)> sink() {
        return [this](const RecoveryWriter::Report& r) {
            std::lock_guard lock(mutex);
            reports.push_back(r);
        };
    }
    std::vector<RecoveryWriter::Report> taken() {
        std::lock_guard lock(mutex);
        return reports;
    }
};

TEST(RecoveryWriter, TheDiskEndsWithWhatCameLast) {
    TempDir dir;
    std::string path = dir.file("dmx.ini.recovery");
    WriterReports log;
    RecoveryWriter writer(path, log.sink());
    for (int i = 0; i < 50; ++i)
        writer.write(sealRecoveryText("text " + std::to_string(i)));
    writer.waitIdle();
    EXPECT_EQ(readFile(path), sealRecoveryText("text 49"));
    writer.remove();
    writer.waitIdle();
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    writer.write("kept");
    writer.remove();
    writer.waitIdle();
    EXPECT_NE(::access(path.c_str(), F_OK), 0) << "a removal replaces a write waiting";
    for (const RecoveryWriter::Report& r : log.taken())
        EXPECT_EQ(r.error, 0);
}

TEST(RecoveryWriter, AFullDiskKeepsThePreviousFileAndSaysWhy) {
    if (!orvane::test::inPrivateMounts())
        return;
    TempDir dir;
    std::string full = dir.file("full");
    ::mkdir(full.c_str(), 0755);
    ASSERT_TRUE(orvane::test::mountTmpfs(full, 64 * 1024));
    std::string path = full + "/dmx.ini.recovery";
    WriterReports log;
    {
        RecoveryWriter writer(path, log.sink());
        writer.write(sealRecoveryText("small"));
        writer.waitIdle();
        writer.write(std::string(256 * 1024, 'x'));
    } // the writer finishes the job waiting before it goes
    EXPECT_EQ(readFile(path), sealRecoveryText("small"));
    std::vector<RecoveryWriter::Report> reports = log.taken();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].error, ENOSPC);
    EXPECT_FALSE(reports[1].removal);

    EXPECT_EQ(writeFileWhole(dir.file("missing/dmx.ini.recovery"), "x"), ENOENT);
}

} // namespace
