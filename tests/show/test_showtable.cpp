// The show table's lookups: keys in any letter case, keys that differ only in
// bytes the hash folds together, long keys, sparse and emptied sections.

#include "show/showstore.h"
#include "show/showtable.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvane;

TEST(ShowTableLookup, FindsEveryKeyInAnyCaseAndNothingElse) {
    const std::string longKey = "7$" + std::string(120, 'k') + "End";
    struct Key {
        std::string written, asked;
        const char* value;
    };
    const Key keys[] = {
        {"7$Master", "7$MASTER", "1"},
        {"7$color_r1", "7$COLOR_R1", "2"},
        {"7$color\x7fr1", "7$color\x7fR1", "3"}, // folds onto "_" in the hash only
        {"7$F12C", "7$f12c", "4"},
        {"7$abcdefgh", "7$ABCDEFGH", "5"}, // whole words of eight bytes
        {longKey, "7$" + std::string(120, 'K') + "END", "6"},
    };
    ShowTable t;
    for (const Key& k : keys)
        t.write(7, k.written, k.value);
    for (const Key& k : keys) {
        const std::string* v = t.find(7, k.asked);
        ASSERT_NE(v, nullptr) << k.asked;
        EXPECT_EQ(*v, k.value) << k.asked;
    }
    for (const char* absent : {"7$master1", "7$color_r2", "7$F12", "7$abcdefghi", "7$", "8$Master"})
        EXPECT_EQ(t.find(absent[0] == '8' ? 8 : 7, absent), nullptr) << absent;
    // A second write of a key in another case replaces the value in place.
    t.write(7, "7$MASTER", "9");
    EXPECT_EQ(*t.find(7, "7$master"), "9");
    EXPECT_EQ(t.entries(7).size(), std::size(keys));

    t.clear();
    for (const Key& k : keys)
        EXPECT_EQ(t.find(7, k.asked), nullptr) << k.asked;
    t.write(7, "7$F12C", "10");
    EXPECT_EQ(*t.find(7, "7$f12c"), "10");
}

TEST(ShowTableLookup, ASparseStepLoadsItsFewKeysAndZerosForTheRest) {
    ProfileFiles profiles;
    ShowStore store(profiles);
    store.WriteStoreValue("3", "master", "200", "");
    store.WriteStoreValue("3", "COLOR_B2", "77", "");
    store.WriteStoreValue("3", "movinghead37", "5", "");
    StepRecord r;
    r.fader[4] = 99; // every field is read, present or not
    store.LoadStep(3, r);
    EXPECT_EQ(r.master, 200);
    EXPECT_EQ(r.colour[1], makeColour(0, 0, 77));
    EXPECT_EQ(r.head[2].channel[7], 5);
    EXPECT_EQ(r.fader[4], 0);
    EXPECT_EQ(r.soundlocked, 1);
}
