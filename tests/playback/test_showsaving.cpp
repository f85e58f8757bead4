// The save sequence's decisions: what the operator is told when the show file
// was damaged, unreadable or could not be written, and what is asked.

#include "console/consoletable.h"
#include "console/showsession.h"
#include "playback/showsaving.h"
#include "show/language.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane;
using namespace orvane::test;

namespace {

struct SavingFixture : ::testing::Test {
    TempDir root;
    ProfileFiles profiles;
    ControlModel controls;
    ShowSession session{profiles, controls};
    ScriptedPrompts prompts;
    ShowSaving saving{session, prompts};
    std::string showFile;

    SavingFixture() {
        populateConsole(controls);
        ::mkdir(root.file("show").c_str(), 0755);
        session.open(root.path(), "show");
        showFile = session.showFilePath();
    }
    std::optional<ShowSaving::Notice> load() {
        session.loadShow();
        return saving.afterLoad();
    }
    bool saidSomethingWith(std::string_view part) const {
        for (const auto& s : prompts.shown)
            if (s.text.find(part) != std::string::npos)
                return true;
        return false;
    }
};

} // namespace

TEST_F(SavingFixture, AShowFileThatCannotBeReadIsNeverReplacedUnasked) {
    ASSERT_EQ(::mkfifo(showFile.c_str(), 0644), 0);
    auto notice = load();
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->error);
    EXPECT_NE(notice->text.find(showFile), std::string::npos);
    // Said at once, with the reason.
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("not a regular file"), std::string::npos);
    EXPECT_TRUE(saving.isProtected());

    // Terminating: nothing asked, nothing replaced.
    EXPECT_FALSE(saving.save(ShowSaving::Mode::Terminating));
    EXPECT_EQ(prompts.shown.size(), 1u);
    // Asking: No (the default) keeps the file.
    EXPECT_FALSE(saving.save(ShowSaving::Mode::Asking));
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_NE(prompts.shown[1].text.find(showFile), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::lstat(showFile.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // Yes: replaced, and later saves go without asking.
    prompts.yesNo = {true};
    EXPECT_TRUE(saving.save(ShowSaving::Mode::Asking));
    ASSERT_EQ(::lstat(showFile.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_TRUE(saving.save(ShowSaving::Mode::Asking));
    EXPECT_EQ(prompts.shown.size(), 3u);
}

TEST_F(SavingFixture, AFileWithNoUsableLineAsksBeforeTheFirstSave) {
    std::string garbage = "\x7f"
                          "ELF\x02\x01\x01\r\nrandom bytes\n\xff\xfe\n";
    writeFile(showFile, garbage);
    auto notice = load();
    ASSERT_TRUE(notice);
    EXPECT_TRUE(notice->error);
    EXPECT_NE(notice->text.find("3 lines"), std::string::npos);
    EXPECT_TRUE(prompts.shown.empty()); // the log and the status line say it
    EXPECT_FALSE(saving.saveBeforeLeaving(ShowSaving::Mode::Asking));
    EXPECT_EQ(readFile(showFile), garbage);
    // Refused, then "quit anyway?" with its default No.
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_NE(prompts.shown[1].text.find("Quit"), std::string::npos);
    prompts.yesNo = {true};
    EXPECT_TRUE(saving.save(ShowSaving::Mode::Asking));
    EXPECT_EQ(readFile(showFile).substr(0, 10), "[GLOBAL]\r\n");
    EXPECT_EQ(readFile(showFile + ".bak"), garbage);
}

TEST_F(SavingFixture, DamagedLinesAreCountedNewShowsSaidNothing) {
    EXPECT_FALSE(load()); // no file yet: a new show
    EXPECT_FALSE(saving.isProtected());
    EXPECT_TRUE(saving.save(ShowSaving::Mode::Asking));
    EXPECT_TRUE(prompts.shown.empty());

    writeFile(showFile, "[GLOBAL]\r\nmanualstep=1\r\nbroken line\r\n1$master=3\r\n900$x=1\r\n");
    auto notice = load();
    ASSERT_TRUE(notice);
    EXPECT_FALSE(notice->error);
    EXPECT_NE(notice->text.find("2 line(s) out of 5"), std::string::npos) << notice->text;
    EXPECT_FALSE(saving.isProtected());
}

// Both notices in one line, in each language; the show file written in
// French is byte for byte the one written in English.
TEST_F(SavingFixture, TheOperatorsLanguageChangesTheNoticesNeverTheShowFile) {
    const std::string damaged = "[GLOBAL]\rmanualstep=1\rbroken line\r1$master=3\r";
    struct Case {
        Language language;
        std::string notice;
    } cases[] = {
        {Language::English, ": its lines end with a lone CR; they were read that way and will be "
                            "saved with CR LF; 1 line(s) out of 4 could not be read"},
        {Language::French, " : ses lignes finissent par un CR seul ; elles ont été lues ainsi et "
                           "seront enregistrées en CR LF ; 1 ligne(s) sur 4 n'ont pas pu être "
                           "lues"},
    };
    std::vector<std::string> saved;
    for (const Case& c : cases) {
        ASSERT_TRUE(useLanguage(c.language));
        writeFile(showFile, damaged);
        auto notice = load();
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->text, showFile + c.notice);
        EXPECT_TRUE(saving.save(ShowSaving::Mode::Asking));
        saved.push_back(readFile(showFile));
    }
    useLanguage(Language::English);
    EXPECT_EQ(saved[0], saved[1]);
    EXPECT_EQ(saved[0].rfind("[GLOBAL]\r\nmanualstep=1\r\n", 0), 0u); // now in CR LF
}

TEST_F(SavingFixture, AFailedSaveNamesTheFileAndTheReasonAndLeavingIsAsked) {
    session.open(root.path(), "gone"); // its folder does not exist
    load();
    EXPECT_FALSE(saving.save(ShowSaving::Mode::Asking));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find(session.showFilePath()), std::string::npos);
    EXPECT_NE(prompts.shown[0].text.find(std::strerror(ENOENT)), std::string::npos);

    EXPECT_FALSE(saving.saveBeforeLeaving(ShowSaving::Mode::Asking)); // No: the operator stays
    EXPECT_EQ(prompts.shown.size(), 3u);
    prompts.yesNo = {true};
    EXPECT_TRUE(saving.saveBeforeLeaving(ShowSaving::Mode::Asking));

    // A signal never waits for an answer: the failure goes to stderr only.
    size_t shown = prompts.shown.size();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(saving.saveBeforeLeaving(ShowSaving::Mode::Terminating));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(prompts.shown.size(), shown);
    EXPECT_NE(err.find(session.showFilePath()), std::string::npos);
    EXPECT_NE(err.find(std::strerror(ENOENT)), std::string::npos);
}

TEST_F(SavingFixture, ABackupFolderInTheWayIsSaidWithItsPathAndReason) {
    writeFile(showFile, "[GLOBAL]\r\nmanualstep=1\r\n");
    load();
    ASSERT_EQ(::mkdir((showFile + ".bak").c_str(), 0755), 0);
    EXPECT_TRUE(saving.save(ShowSaving::Mode::Asking));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find(showFile + ".bak: " + std::strerror(EISDIR)),
              std::string::npos)
        << prompts.shown[0].text;
    EXPECT_NE(readFile(showFile).find("0$check1=0"), std::string::npos);
}

TEST_F(SavingFixture, ChainGoesOnlyToAnExistingShowAfterSaving) {
    ::mkdir(root.file("Show2").c_str(), 0755);
    load();
    for (const char* name : {"", "../victim", "..", "a/b"}) {
        EXPECT_FALSE(saving.chainTo(name)) << name;
        EXPECT_TRUE(saidSomethingWith("refus")) << name;
        prompts.shown.clear();
    }
    EXPECT_FALSE(saving.chainTo("Nowhere"));
    EXPECT_TRUE(saidSomethingWith("does not exist"));
    EXPECT_NE(::access(showFile.c_str(), F_OK), 0); // nothing saved for a refused chain
    EXPECT_TRUE(saving.chainTo("Show2"));
    EXPECT_EQ(::access(showFile.c_str(), F_OK), 0);
}
