// The control model's lookups by id, whatever order and spread the ids come in,
// and the number texts the timers keep up to date.

#include "console/controlmodel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

using namespace orvane;

namespace {

struct IdSet {
    const char* name;
    std::vector<int> ids;
};

std::vector<IdSet> idSets() {
    std::vector<int> dialog, backwards, scattered;
    for (int id = 1000; id < 1600; id += 3)
        dialog.push_back(id);
    backwards.assign(dialog.rbegin(), dialog.rend());
    // Far apart: the index cannot hold them all, some are found through the map.
    scattered = {5, 40000, 1000, -7, 100000, 1001, INT_MAX, INT_MIN, 65535, 0, 32768, 999};
    return {{"dialog", dialog}, {"backwards", backwards}, {"scattered", scattered}};
}

} // namespace

TEST(ControlModelLookup, EveryIdIsFoundAndNoOtherWhateverTheOrderAndSpread) {
    for (const IdSet& set : idSets()) {
        SCOPED_TRACE(set.name);
        ControlModel m;
        for (int id : set.ids) {
            m.add(id, ControlKind::Slider);
            m.setRange(id, INT_MIN, INT_MAX);
            m.setPos(id, id);
        }
        for (int id : set.ids) {
            EXPECT_TRUE(m.has(id)) << id;
            EXPECT_EQ(m.pos(id), id);
            EXPECT_EQ(m.state(id).kind, ControlKind::Slider);
        }
        for (int absent : {1, 998, 1002, 1601, -1, 50000, INT_MAX - 1}) {
            if (std::find(set.ids.begin(), set.ids.end(), absent) != set.ids.end())
                continue;
            EXPECT_FALSE(m.has(absent)) << absent;
        }
        std::vector<int> sorted = set.ids;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(m.ids(), sorted);
    }
}

TEST(ControlModelLookup, AStateKeepsItsPlaceWhenLaterIdsWidenTheIndex) {
    ControlModel m;
    m.add(1500, ControlKind::Edit, "first");
    const ControlState& first = m.state(1500);
    // Below, above and far beyond the span: each may rebuild the index.
    for (int id : {1499, 1000, 4090, 200, 30000, 99999})
        m.add(id, ControlKind::Label);
    m.setText(1500, "changed");
    EXPECT_EQ(&m.state(1500), &first);
    EXPECT_EQ(first.text, "changed");
}

// A mistyped id must not pass unnoticed: every use of an undeclared id changes
// nothing, reads a default state, and is reported with what was done.
TEST(ControlModelStrictness, UndeclaredIdsAreRefusedAndReported) {
    static std::vector<std::pair<int, std::string>> reported;
    reported.clear();
    auto previous = ControlModel::setUndeclaredHandler(
        [](int id, const char* use) { reported.emplace_back(id, use); });
    ControlModel m;
    m.add(1005, ControlKind::Slider);
    m.setRange(1005, 0, 255);
    int observed = 0;
    m.observe([&](int, ControlField) { ++observed; });

    m.setPos(1999, 7);
    m.setText(1998, "ghost");
    m.on(ControlEvent::Clicked, 1997, [] {});
    m.click(1996);
    EXPECT_EQ(m.pos(1999), 0);
    EXPECT_EQ(m.text(1998), "");
    ControlModel::setUndeclaredHandler(previous);

    EXPECT_FALSE(m.has(1999) || m.has(1998) || m.has(1997) || m.has(1996));
    EXPECT_EQ(m.ids(), std::vector<int>{1005});
    EXPECT_EQ(observed, 0);
    const std::vector<std::pair<int, std::string>> expected = {
        {1999, "written"}, {1998, "written"}, {1997, "given a handler"},
        {1996, "read"},    {1996, "raised"},  {1999, "read"},
        {1998, "read"}};
    EXPECT_EQ(reported, expected);
}

TEST(ControlModelShowNumber, WritesAndReportsOnlyATextThatChanged) {
    ControlModel m;
    m.add(7, ControlKind::Label, "12");
    int changes = 0;
    m.on(ControlEvent::TextChanged, 7, [&] { ++changes; });
    struct Case {
        int64_t value;
        const char* text;
        bool writes;
    };
    const Case cases[] = {{12, "12", false},       {13, "13", true},
                          {13, "13", false},       {-5, "-5", true},
                          {0, "0", true},          {65535, "65535", true},
                          {65535, "65535", false}, {INT_MIN, "-2147483648", true}};
    int expected = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(m.showNumber(7, c.value), c.writes) << c.value;
        expected += c.writes ? 1 : 0;
        EXPECT_EQ(m.text(7), c.text);
        EXPECT_EQ(changes, expected) << c.value;
    }
}
