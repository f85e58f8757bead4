// The show's undo and redo history against a real show store: what an undo
// puts back is the show file's text of before, byte for byte, however the
// sections were written, however many edits ago, and whatever was packed.

#include "show/showedits.h"
#include "show/showstore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane;

namespace {

StepRecord record(int n) {
    StepRecord r;
    r.master = n % 256;
    r.fader[0] = (n * 7) % 256;
    r.name = "step " + std::to_string(n);
    r.extra = "EXEC=echo " + std::string(40, char('a' + n % 26));
    r.fadet = 0.5 * (n % 9);
    return r;
}

struct EditsFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    ShowEdits edits{store.table()};

    std::string text() const { return store.ShowFileText(); }
    // What the step sequence editing does: every step from `at` on moves up.
    void insertAt(int at) {
        for (int k = kStepCount - 1; k > at; --k) {
            StepRecord r;
            store.LoadStep(k - 1, r);
            store.SaveStep(k, r);
        }
    }
};

TEST(ShowTableContents, PutBackWholeWithTheirKeysOrderAndGeneration) {
    ShowTable t;
    // Keys as hand-made files hold them: any case, a leading zero, a long key,
    // the shared flags of section 0, in no order a save would write.
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"12$NAME", "Intro"},
        {"012$master", "5"},
        {"12$movinghead2_a_key_longer_than_the_inline_room", "7"},
        {"12$master", "200"},
        {"12$extra", "A=B"},
    };
    for (const auto& [key, value] : entries)
        t.write(12, key, value);
    uint64_t generation = t.generation(12);
    ShowTable::Contents before = t.contents(12);

    t.write(12, "12$master", "1");
    t.write(12, "12$fadet", "2.5"); // a new key
    ShowTable::Contents changed = t.replace(12, before);

    ASSERT_EQ(t.entries(12).size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(t.entries(12)[i].key(), entries[i].first) << i;
        EXPECT_EQ(t.entries(12)[i].value, entries[i].second) << i;
    }
    EXPECT_EQ(t.generation(12), generation) << "the contents that number named";
    EXPECT_EQ(changed.entries().size(), entries.size() + 1);

    // Lookups after a replace find the first match, without regard to case,
    // and know nothing of keys the replaced contents had.
    EXPECT_EQ(*t.find(12, "12$name"), "Intro");
    EXPECT_EQ(*t.find(12, "12$MASTER"), "200");
    EXPECT_EQ(*t.find(12, "012$master"), "5");
    EXPECT_EQ(t.find(12, "12$fadet"), nullptr);
    t.write(12, "12$Master", "201"); // in place, not a second entry
    t.write(12, "12$sound1", "9");
    EXPECT_EQ(t.entries(12).size(), entries.size() + 1);
    EXPECT_EQ(t.entries(12)[3].value, "201");
    EXPECT_EQ(*t.find(12, "12$SOUND1"), "9");
}

TEST_F(EditsFixture, AnEditGoesBackAndComesBackByteForByte) {
    for (int s = 0; s < 20; ++s)
        store.SaveStep(s, record(s));
    edits.forget();
    std::string before = text();
    {
        ShowEdits::Scope edit(edits, "insert step 3");
        insertAt(3);
        store.WriteStoreValue("7", "odd key", "x", {});
    }
    std::string after = text();
    ASSERT_NE(after, before);
    EXPECT_EQ(edits.undo(), "insert step 3");
    EXPECT_EQ(text(), before);
    EXPECT_EQ(edits.redo(), "insert step 3");
    EXPECT_EQ(text(), after);
    EXPECT_EQ(edits.undo(), "insert step 3");
    EXPECT_EQ(text(), before);
    EXPECT_EQ(edits.undo(), std::nullopt);
}

TEST_F(EditsFixture, WhatMakesOneEditAndWhatNamesIt) {
    struct Row {
        const char* name;
        std::function<void()> act;
        std::optional<std::string> label; // nothing: no edit at all
    } rows[] = {
        {"nested scopes are one edit named by the action",
         [this] {
             ShowEdits::Scope outer(edits, "", ShowEdits::Naming::Store);
             {
                 ShowEdits::Scope store1(edits, "changes to step 4", ShowEdits::Naming::Store);
                 store.SaveStep(4, record(40));
             }
             ShowEdits::Scope action(edits, "insert step 5");
             insertAt(5);
         },
         "insert step 5"},
        {"a store alone names its edit",
         [this] {
             ShowEdits::Scope s(edits, "changes to step 6", ShowEdits::Naming::Store);
             store.SaveStep(6, record(60));
         },
         "changes to step 6"},
        {"the first action names it",
         [this] {
             ShowEdits::Scope a(edits, "effect a at step 1");
             ShowEdits::Scope b(edits, "duplicate step 1");
             store.SaveStep(2, record(20));
         },
         "effect a at step 1"},
        {"writing what is there already is no edit",
         [this] {
             ShowEdits::Scope s(edits, "duplicate step 1");
             store.SaveStep(1, record(1));
         },
         std::nullopt},
        {"changes outside any action are an edit of their own",
         [this] { store.SaveStep(9, record(90)); }, "changes to the show"},
    };
    for (const Row& row : rows) {
        for (int s = 0; s < 12; ++s)
            store.SaveStep(s, record(s));
        edits.forget();
        std::string before = text();
        row.act();
        EXPECT_EQ(edits.undo(), row.label) << row.name;
        EXPECT_EQ(text(), before) << row.name;
    }
}

TEST_F(EditsFixture, AnUndoneEditStaysUntilANewChange) {
    store.SaveStep(1, record(1));
    edits.forget();
    auto change = [this](const char* label, int value) {
        ShowEdits::Scope s(edits, label);
        store.SaveStep(1, record(value));
    };
    change("first", 10);
    change("second", 20);
    ASSERT_EQ(edits.undo(), "second");
    {
        ShowEdits::Scope nothing(edits, "no change");
        store.SaveStep(1, record(10));
    }
    EXPECT_EQ(edits.redoLevels(), 1u) << "an edit that changed nothing drops no redo";
    ASSERT_EQ(edits.undo(), "first");
    change("third", 30);
    EXPECT_EQ(edits.redoLevels(), 0u);
    EXPECT_EQ(edits.redo(), std::nullopt);
    EXPECT_EQ(edits.undo(), "third");
    EXPECT_EQ(edits.undo(), std::nullopt);
}

TEST_F(EditsFixture, ACaptionTypedLetterByLetterIsOneEditUntilAnUndo) {
    store.SaveStep(2, record(2));
    edits.forget();
    std::string before = text();
    auto type = [this](const std::string& caption, int step) {
        StepRecord r;
        store.LoadStep(step, r);
        r.name = caption;
        ShowEdits::Scope s(edits, "caption of step " + std::to_string(step),
                           ShowEdits::Naming::Action, "caption " + std::to_string(step));
        store.SaveStep(step, r);
    };
    type("a", 2);
    type("ab", 2);
    type("abc", 2);
    EXPECT_EQ(edits.undoLevels(), 1u);
    type("x", 3);
    EXPECT_EQ(edits.undoLevels(), 2u) << "another step's caption";
    ASSERT_TRUE(edits.undo());
    ASSERT_TRUE(edits.redo());
    type("abcd", 2);
    EXPECT_EQ(edits.undoLevels(), 3u) << "an undo between ends the merging";
    edits.undo();
    edits.undo();
    edits.undo();
    EXPECT_EQ(text(), before);
}

TEST_F(EditsFixture, NoUndoWhileAnActionIsUnderWayAndNothingRecordedWhilePaused) {
    store.SaveStep(1, record(1));
    {
        ShowEdits::Pause reading(edits);
        store.SaveStep(2, record(2));
    }
    edits.forget();
    {
        ShowEdits::Scope s(edits, "open");
        store.SaveStep(1, record(11));
        EXPECT_TRUE(edits.busy());
        EXPECT_EQ(edits.undo(), std::nullopt);
    }
    EXPECT_EQ(edits.undo(), "open");
    EXPECT_EQ(edits.undo(), std::nullopt) << "a paused write is no edit";
    StepRecord r;
    store.LoadStep(2, r);
    EXPECT_EQ(r, record(2));
}

// More edits than the history keeps, some moving every step (so most are
// packed), all taken back and given again: the show is exact at every fifth
// level and at both ends.
TEST_F(EditsFixture, EveryLevelGoesBackExactlyWhenMostArePacked) {
    for (int s = 0; s < kStepCount; ++s)
        store.SaveStep(s, record(s));
    edits.forget();
    const int edited = int(ShowEdits::kLevels) + 8;
    const int oldest = edited - int(ShowEdits::kLevels);
    auto checked = [&](int level) { return level % 5 == 0 || level == oldest; };
    std::vector<std::string> texts{text()};
    for (int i = 0; i < edited; ++i) {
        ShowEdits::Scope s(edits, "edit " + std::to_string(i));
        if (i % 8 == 0)
            insertAt(i % kStepCount);
        else
            store.SaveStep(i % kStepCount, record(1000 + i));
        texts.push_back(checked(i + 1) || i + 1 == edited ? text() : std::string());
    }
    ASSERT_GE(ShowEdits::kLevels, 200u);
    ASSERT_EQ(edits.undoLevels(), ShowEdits::kLevels);
    for (int i = edited - 1; i >= oldest; --i) {
        ASSERT_EQ(edits.undo(), "edit " + std::to_string(i));
        if (checked(i)) {
            ASSERT_EQ(text(), texts[size_t(i)]) << "after undoing edit " << i;
        }
    }
    EXPECT_EQ(edits.undo(), std::nullopt);
    for (int i = oldest; i < edited; ++i) {
        ASSERT_EQ(edits.redo(), "edit " + std::to_string(i));
        if (checked(i + 1) || i + 1 == edited) {
            ASSERT_EQ(text(), texts[size_t(i) + 1]) << "after redoing edit " << i;
        }
    }
}

} // namespace
