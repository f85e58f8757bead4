#include "console/consoletable.h"
#include "show/patch.h"

#include <QRect>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace orvane;

namespace {

QRect rectOf(const ControlDef& c) {
    return QRect(c.x, c.y, c.w, c.h);
}

const ControlDef* find(int id) {
    for (const ControlDef& c : consoleControls())
        if (c.id == id)
            return &c;
    return nullptr;
}

const ControlDef* findStatic(std::string_view caption) {
    for (const ControlDef& c : consoleControls())
        if (c.id == kNoId && caption == c.caption)
            return &c;
    return nullptr;
}

std::string where(const ControlDef& c) {
    return std::to_string(c.id) + " \"" + c.caption + "\"";
}

TEST(ConsoleTable, EveryIdIsUnique) {
    std::set<int> seen;
    for (const ControlDef& c : consoleControls())
        if (c.id != kNoId) {
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
        }
}

TEST(ConsoleTable, RoomPlanHasEveryPatchEntryAsCheckBoxAndSwatch) {
    for (const PatchEntry& e : kPatch) {
        const ControlDef* check = find(e.checkId);
        const ControlDef* swatch = find(e.swatchId);
        ASSERT_NE(check, nullptr) << e.name;
        ASSERT_NE(swatch, nullptr) << e.name;
        EXPECT_EQ(check->kind, ControlKind::CheckBox) << e.name;
        EXPECT_STREQ(check->caption, e.name);
        EXPECT_EQ(swatch->kind, ControlKind::Swatch) << e.name;
        // The swatch stands right beside its box, on the same row.
        EXPECT_EQ(swatch->y, check->y) << e.name;
        EXPECT_GE(swatch->x, check->x + check->w) << e.name;
        EXPECT_LE(swatch->x, check->x + check->w + 6) << e.name;
    }
}

TEST(ConsoleTable, ControlsHaveTheKindTheirUseNeeds) {
    const std::map<int, ControlKind> kinds = {
        {1000, ControlKind::Edit},          {1001, ControlKind::Spin},
        {1052, ControlKind::MultiLineEdit}, {1364, ControlKind::MultiLineEdit},
        {1002, ControlKind::Label},         {1392, ControlKind::Label},
        {4081, ControlKind::HotKey},        {1003, ControlKind::List},
        {1340, ControlKind::ComboBox},      {1309, ControlKind::RichLog},
        {1051, ControlKind::Custom},        {1346, ControlKind::Custom},
        {1427, ControlKind::Custom},        {1041, ControlKind::CheckBox},
        {1083, ControlKind::CheckBox},      {1024, ControlKind::Edit},
        {1125, ControlKind::ColourButton},  {1132, ControlKind::ColourButton},
    };
    for (const auto& [id, kind] : kinds) {
        const ControlDef* c = find(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(c->kind, kind) << id;
    }
    for (int id : consoleLists()) {
        const ControlDef* c = find(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_TRUE(c->kind == ControlKind::List || c->kind == ControlKind::ComboBox) << id;
    }
}

TEST(ConsoleTable, FaderLabelsStandAboveTheirFaders) {
    const std::pair<int, const char*> faders[] = {
        {1025, "1A"},  {1026, "2Z"},  {1027, "3E"},  {1028, "4R"},        {1029, "5T"},
        {1030, "6Y"},  {1031, "7Q"},  {1032, "8S"},  {1033, "9D"},        {1034, "10F"},
        {1035, "11G"}, {1036, "12H"}, {1037, "13W"}, {1038, "14X"},       {1039, "15C"},
        {1040, "16V"}, {4080, "17U"}, {1122, "18I"}, {1133, "19J"},       {1136, "20K"},
        {1141, "21B"}, {1148, "22N"}, {1396, "23O"}, {1031, "Room light"}};
    int lastX = 0;
    for (const auto& [id, text] : faders) {
        const ControlDef* slider = find(id);
        const ControlDef* label = findStatic(text);
        ASSERT_NE(slider, nullptr) << text;
        ASSERT_NE(label, nullptr) << text;
        EXPECT_TRUE(slider->has(kVertical) && slider->has(kInverted)) << text;
        EXPECT_LE(label->y + label->h, slider->y) << text;
        int centre = slider->x + slider->w / 2;
        EXPECT_TRUE(label->x <= centre && centre <= label->x + label->w) << text;
        if (std::string(text) != "Room light") {
            EXPECT_GT(slider->x, lastX) << text; // faders 1-23 run left to right
            lastX = slider->x;
        }
    }
}

TEST(ConsoleTable, GeometryMatchesOrientation) {
    for (const ControlDef& c : consoleControls()) {
        EXPECT_GT(c.w, 0) << where(c);
        EXPECT_GT(c.h, 0) << where(c);
        if (c.kind != ControlKind::Slider && c.kind != ControlKind::Progress)
            continue;
        if (c.has(kVertical)) {
            EXPECT_GT(c.h, c.w) << where(c);
        } else
            EXPECT_GT(c.w, c.h) << where(c);
        if (c.has(kInverted)) {
            EXPECT_TRUE(c.has(kVertical)) << where(c);
        }
    }
}

TEST(ConsoleTable, EveryControlLiesInsideTheClientArea) {
    static_assert(kConsoleWidth <= 1920 && kConsoleHeight <= 1080 - 40,
                  "the window with its frame must fit a 1920 x 1080 screen");
    const QRect client(0, 0, kConsoleWidth, kConsoleHeight);
    for (const ControlDef& c : consoleControls())
        EXPECT_TRUE(client.contains(rectOf(c))) << where(c);
}

// Controls a person sees at the same time: hidden ones and frames left out.
std::vector<const ControlDef*> visibleControls() {
    std::vector<const ControlDef*> out;
    for (const ControlDef& c : consoleControls())
        if (!c.has(kHidden) && c.kind != ControlKind::GroupBox)
            out.push_back(&c);
    return out;
}

TEST(ConsoleTable, NoTwoVisibleControlsOverlap) {
    const std::vector<const ControlDef*> visible = visibleControls();
    for (size_t i = 0; i < visible.size(); ++i)
        for (size_t j = i + 1; j < visible.size(); ++j)
            EXPECT_FALSE(rectOf(*visible[i]).intersects(rectOf(*visible[j])))
                << where(*visible[i]) << " overlaps " << where(*visible[j]);
}

TEST(ConsoleTable, ControlsAreInsideOrOutsideEachFrameNeverAcross) {
    std::vector<const ControlDef*> frames;
    for (const ControlDef& c : consoleControls())
        if (c.kind == ControlKind::GroupBox && !c.has(kHidden))
            frames.push_back(&c);
    for (const ControlDef* f : frames) {
        QRect frame = rectOf(*f);
        for (const ControlDef* c : visibleControls()) {
            QRect r = rectOf(*c);
            EXPECT_TRUE(frame.contains(r) || !frame.intersects(r))
                << where(*c) << " crosses the frame " << f->caption;
        }
        for (const ControlDef* other : frames)
            if (other != f) {
                EXPECT_FALSE(frame.intersects(rectOf(*other)))
                    << f->caption << " overlaps " << other->caption;
            }
    }
}

TEST(ConsoleTable, ModelStartsWithTheInitialisationRanges) {
    struct Case {
        int min, max;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {0, 255, {1005, 1025, 1032, 1040, 4080, 1122, 1133, 1136, 1141, 1148, 1396,
                  1056, 1007, 1047, 1067, 1069, 1075, 1082, 1118, 1127, 1153, 1157,
                  1261, 1265, 1314, 1321, 5083, 4087, 1091, 1094, 1422, 1423, 1009}},
        {0, 499, {1001}},
        {0, 10000, {1010, 1011, 1397, 1057, 1120, 1121}},
        {0, 100, {1062, 1063, 4078}},
        {0, 30000, {1267, 1272}},
    };
    ControlModel model;
    populateConsole(model);
    for (const Case& c : cases)
        for (int id : c.ids) {
            EXPECT_EQ(model.state(id).min, c.min) << id;
            EXPECT_EQ(model.state(id).max, c.max) << id;
        }
    // Every slider has its range from the start, except the sound position, which
    // takes the length of the sound when it plays.
    for (const ControlDef& c : consoleControls())
        if (c.kind == ControlKind::Slider && c.id != 1112) {
            EXPECT_GT(model.state(c.id).max, 100) << c.id;
        }
}

TEST(ConsoleTable, ModelHoldsExactlyTheTableWithItsHiddenControls) {
    ControlModel model;
    populateConsole(model);
    std::vector<int> ids;
    for (const ControlDef& c : consoleControls())
        if (c.id != kNoId)
            ids.push_back(c.id);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(model.ids(), ids); // no range or flag reached a control the table lacks

    const int hidden[] = {1269, 1270, 1007, 1047, 1067, 1069, 1082, 1118, 1321,
                          2000, 1129, 1131, 1132, 1325, 1020, 1021, 1022, 1023};
    for (int id : hidden)
        EXPECT_FALSE(model.visible(id)) << id;
    for (int id : {1005, 1025, 1000, 1003, 1340, 1309, 1394, 1393})
        EXPECT_TRUE(model.visible(id)) << id;
    EXPECT_EQ(model.text(1308), "All dmx to 0");
    EXPECT_EQ(model.state(1003).kind, ControlKind::List);
}

} // namespace
