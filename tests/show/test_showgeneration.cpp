// The show table's change numbers: every path that changes a step's contents
// changes its number, and nothing else does.

#include "show/showstore.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace orvane;
using orvane::test::TempDir;
using orvane::test::writeFile;

namespace {

struct GenerationFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    uint64_t gen(int step) const { return store.table().generation(step); }
};

TEST_F(GenerationFixture, EveryWritePathChangesOnlyItsStep) {
    EXPECT_EQ(gen(7), 0u) << "empty since the table was made";
    StepRecord r;
    r.master = 100;
    struct Path {
        const char* name;
        std::function<void()> write;
        int step;
    } paths[] = {
        {"SaveStep", [&] { store.SaveStep(7, r); }, 7},
        {"SaveStep light only", [&] { r.master = 101, store.SaveStep(7, r, {}, true); }, 7},
        {"WriteStoreValue", [&] { store.WriteStoreValue("8", "name", "x", ""); }, 8},
        {"table write", [&] { store.table().write(9, "9$name", "y"); }, 9},
    };
    for (const Path& p : paths) {
        uint64_t before = gen(p.step), other = gen(p.step == 7 ? 8 : 7);
        p.write();
        EXPECT_NE(gen(p.step), before) << p.name;
        EXPECT_EQ(gen(p.step == 7 ? 8 : 7), other) << p.name;
    }
}

TEST_F(GenerationFixture, RewritingTheSameValuesChangesNothing) {
    StepRecord r;
    r.name = "same";
    store.SaveStep(3, r);
    uint64_t before = gen(3);
    store.SaveStep(3, r);
    store.WriteStoreValue("3", "name", "same", "");
    EXPECT_EQ(gen(3), before);
    store.WriteStoreValue("3", "NAME", "other", ""); // keys compare without case
    EXPECT_NE(gen(3), before);
}

TEST_F(GenerationFixture, LoadingAShowAndClearingChangeEveryStep) {
    StepRecord r;
    store.SaveStep(4, r);
    uint64_t four = gen(4), five = gen(5);
    TempDir dir;
    writeFile(dir.file("dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n4$master=9\r\n");
    store.table().clear();
    EXPECT_NE(gen(4), four);
    EXPECT_NE(gen(5), five);
    four = gen(4);
    ASSERT_EQ(store.LoadShowFile(dir.file("dmx.ini")), 0);
    EXPECT_NE(gen(4), four);
}

TEST_F(GenerationFixture, NumbersAreNeverReusedAcrossTables) {
    // A cache that saw a number in one table must not take another table's
    // different contents for the same.
    ShowTable a, b;
    a.write(1, "1$master", "1");
    b.write(1, "1$master", "2");
    EXPECT_NE(a.generation(1), b.generation(1));
    ShowTable copy = a;
    EXPECT_EQ(copy.generation(1), a.generation(1)) << "same contents, same number";
    EXPECT_EQ(a.generation(-1), 0u);
    EXPECT_EQ(a.generation(500), 0u);
}

} // namespace
