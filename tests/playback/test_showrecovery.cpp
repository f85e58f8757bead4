// The recovery of unsaved changes on the real session and console: what is
// kept, when (a change wakes the check, nothing else does), what a save and
// the end of the program do with it, and what the start-up does with a
// recovery file it finds, whole or damaged.

#include "playback/showrecovery.h"
#include "support/mainwindowstandin.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

struct RecoveryFixture : ::testing::Test {
    MainWindowStandIn main;
    std::vector<std::function<void()>> posted;
    std::mutex postedMutex;
    std::vector<std::pair<std::string, bool>> told;
    std::unique_ptr<ShowRecovery> recovery;

    void SetUp() override {
        for (int s = 0; s < 5; ++s) {
            StepRecord r;
            r.master = 100 + s;
            r.name = "step " + std::to_string(s);
            main.store(s, r);
        }
        main.goTo(2);
        ASSERT_EQ(main.session.save(), 0);
        // The store as a start leaves it, read from the file.
        ASSERT_EQ(main.session.loadShow(), 0);
        main.session.ShowCurrentStep(false);
        // The show file older than anything written from now on.
        timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, main.session.showFilePath().c_str(), past, 0);
        recovery = make();
    }
    std::unique_ptr<ShowRecovery> make() {
        RecoveryHooks hooks;
        hooks.post = [this](std::function<void()> call) {
            std::lock_guard lock(postedMutex);
            posted.push_back(std::move(call));
        };
        hooks.tell = [this](const std::string& text, bool error) {
            told.emplace_back(text, error);
        };
        return std::make_unique<ShowRecovery>(main.session, hooks);
    }
    // Runs what the writer reported, as the user-interface thread would.
    void runPosted() {
        std::vector<std::function<void()>> calls;
        {
            std::lock_guard lock(postedMutex);
            calls.swap(posted);
        }
        for (auto& call : calls)
            call();
    }
    // Waits until the writer has reported n jobs.
    bool waitReports(size_t n) {
        for (int i = 0; i < 1000; ++i) {
            {
                std::lock_guard lock(postedMutex);
                if (posted.size() >= n)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    std::string path() { return recovery->path(); }
    std::string kept() { return readFile(path()); }
};

TEST_F(RecoveryFixture, EachKindOfChangeIsKeptAsASaveWouldWriteIt) {
    struct Row {
        const char* name;
        std::function<void(RecoveryFixture&)> change;
    } rows[] = {
        {"a step of the store",
         [](RecoveryFixture& f) {
             StepRecord r = f.main.stored(4);
             r.name = "changed in the store";
             f.main.store(4, r);
         }},
        {"a fader of the current step, not stored",
         [](RecoveryFixture& f) { f.main.controls.setPos(console::kFaders[3], 77); }},
        {"the caption of the current step, not stored",
         [](RecoveryFixture& f) { f.main.controls.setText(console::kStepName, "on the console"); }},
    };
    for (const Row& row : rows) {
        recovery->settle();
        std::string storeBefore = main.session.store().ShowFileText();
        row.change(*this);
        EXPECT_FALSE(recovery->idle()) << row.name << ": a change wakes the check";
        std::string expected = main.session.pendingShowText();
        recovery->tick();
        EXPECT_TRUE(recovery->idle()) << row.name;
        ASSERT_TRUE(waitReports(1)) << row.name;
        runPosted();
        EXPECT_EQ(checkRecoveryFile(path(), main.session.showFilePath()).state,
                  RecoveryFileCheck::State::Usable)
            << row.name;
        EXPECT_EQ(kept(), sealRecoveryText(expected)) << row.name;
        if (std::string(row.name).find("not stored") != std::string::npos) {
            EXPECT_EQ(main.session.store().ShowFileText(), storeBefore)
                << row.name << ": the console is not stored into the show";
        }
    }
    EXPECT_TRUE(told.empty());
}

TEST_F(RecoveryFixture, NothingChangedNothingRunsAndNothingIsWritten) {
    recovery->settle();
    EXPECT_TRUE(recovery->idle());
    // A control set to the value it has is no change for the file.
    main.controls.setText(console::kStepName, main.controls.text(console::kStepName) + "x");
    main.controls.setText(console::kStepName, "step 2");
    recovery->tick();
    EXPECT_TRUE(recovery->idle());
    recovery->finish();
    EXPECT_FALSE(exists(path())) << "what the console shows is what the show file holds";
}

TEST_F(RecoveryFixture, ASaveAndACleanQuitRemoveTheRecoveryFile) {
    recovery->settle();
    main.controls.setPos(console::kFaders[0], 5);
    recovery->tick();
    ASSERT_TRUE(waitReports(1));
    ASSERT_TRUE(exists(path()));
    ASSERT_EQ(main.session.save(), 0);
    recovery->saved();
    ASSERT_TRUE(waitReports(2));
    EXPECT_FALSE(exists(path()));
    // A change after the save is kept again; a quit that saves removes it.
    main.controls.setPos(console::kFaders[0], 6);
    recovery->tick();
    ASSERT_TRUE(waitReports(3));
    EXPECT_TRUE(exists(path()));
    ASSERT_EQ(main.session.save(), 0);
    recovery->saved();
    recovery->finish();
    EXPECT_FALSE(exists(path()));
}

TEST_F(RecoveryFixture, AQuitWithoutASaveKeepsTheLastChanges) {
    recovery->settle();
    main.controls.setText(console::kStepName, "typed just before the end");
    recovery->finish(); // no tick came since the change
    EXPECT_EQ(checkRecoveryFile(path(), main.session.showFilePath()).state,
              RecoveryFileCheck::State::Usable);
    EXPECT_NE(kept().find("typed just before the end"), std::string::npos);
}

TEST_F(RecoveryFixture, TheNextStartOpensTheRecoveredShowAndLeavesTheShowFile) {
    recovery->settle();
    main.controls.setText(console::kStepName, "recovered caption");
    StepRecord r = main.stored(4);
    r.name = "recovered step 4";
    main.store(4, r);
    // The steps as a save would store them.
    main.session.CommitCurrentStep();
    std::vector<StepRecord> pending = main.snapshot();
    recovery->finish();
    recovery.reset();
    std::string showFile = readFile(main.session.showFilePath());

    MainWindowStandIn again;
    // The same show on the same root, read as a start does.
    again.session.open(main.root.path(), "show");
    ASSERT_EQ(again.session.loadShow(), 0);
    RecoveryHooks hooks;
    std::vector<std::string> lines;
    hooks.tell = [&](const std::string& text, bool) { lines.push_back(text); };
    ShowRecovery next(again.session, hooks);
    next.recoverAtStart();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Recovered unsaved changes from ", 0), 0u) << lines[0];
    again.session.setCurrentStep(2);
    again.session.ShowCurrentStep(false);
    EXPECT_EQ(again.snapshot(), pending);
    EXPECT_EQ(readFile(again.session.showFilePath()), showFile) << "untouched until a save";
    EXPECT_EQ(again.session.edits().undoLevels(), 0u) << "the history starts again";
}

TEST_F(RecoveryFixture, ADamagedRecoveryFileIsRefusedAndLeftInPlace) {
    std::vector<StepRecord> steps = main.snapshot();
    std::string damaged = sealRecoveryText(main.session.store().ShowFileText());
    damaged.resize(damaged.size() - 3);
    writeFile(path(), damaged);
    recovery->recoverAtStart();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].second);
    EXPECT_NE(told[0].first.find(path()), std::string::npos) << told[0].first;
    EXPECT_NE(told[0].first.find("closing line is missing"), std::string::npos) << told[0].first;
    EXPECT_EQ(readFile(path()), damaged);
    EXPECT_EQ(main.snapshot(), steps) << "the show file's show";

    // The first change to keep moves it aside under a name of its own.
    recovery->settle();
    main.controls.setPos(console::kFaders[1], 9);
    recovery->tick();
    ASSERT_TRUE(waitReports(1));
    EXPECT_EQ(readFile(path() + ".damaged"), damaged);
    EXPECT_EQ(checkRecoveryFile(path(), main.session.showFilePath()).state,
              RecoveryFileCheck::State::Usable);
}

TEST_F(RecoveryFixture, AFileThatCannotBeWrittenIsSaidOnceWithItsReason) {
    recovery->settle();
    // Where the temporary file goes there is a folder in the way of the name.
    std::filesystem::create_directories(path() + "/in the way");
    for (int i = 0; i < 3; ++i) {
        main.controls.setPos(console::kFaders[2], 10 + i);
        recovery->tick();
        ASSERT_TRUE(waitReports(1)) << i;
        runPosted();
    }
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].second);
    EXPECT_NE(told[0].first.find("Cannot write the recovery file " + path()), std::string::npos)
        << told[0].first;
    // Once it can be written again, it is, and a later failure is said again.
    std::filesystem::remove_all(path());
    main.controls.setPos(console::kFaders[2], 50);
    recovery->tick();
    ASSERT_TRUE(waitReports(1));
    runPosted();
    EXPECT_TRUE(std::filesystem::is_regular_file(path()));
    EXPECT_EQ(told.size(), 1u);
}

} // namespace
