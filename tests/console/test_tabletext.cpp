// Control tables in the operator's language: English hands out the table as
// written; a French copy changes captions and tool tips only, is made once and
// stays where it is, and the console declared from it works by ids as in
// English. The French assertions need the French translation compiled in.

#include "console/console.h"
#include "console/consoletable.h"
#include "console/controlids.h"
#include "console/tabletext.h"
#include "show/language.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvane;

namespace {

struct InFrench : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(useLanguage(Language::French)); }
    void TearDown() override { useLanguage(Language::English); }
};

const ControlDef& byId(std::span<const ControlDef> table, int id) {
    for (const ControlDef& c : table)
        if (c.id == id)
            return c;
    throw std::out_of_range("no control " + std::to_string(id));
}

std::string tipOf(int id) {
    for (const ControlTip& t : consoleToolTips())
        if (t.id == id)
            return t.text;
    return {};
}

} // namespace

TEST(TableText, EnglishIsTheTableAsWrittenAndTextsWithoutTranslationKeepTheirPointer) {
    ASSERT_EQ(currentLanguage(), Language::English);
    EXPECT_EQ(consoleControls().data(), consoleControls().data());
    EXPECT_STREQ(byId(consoleControls(), console::kInsertStep).caption, "Insert a step");
    EXPECT_EQ(tipOf(console::kStepSpin), "Next or previous step");

    const char* empty = "";
    const char* unknown = "no such text in any table";
    EXPECT_EQ(keptTranslation("Console", empty), empty);
    EXPECT_EQ(keptTranslation("Console", unknown), unknown);
    EXPECT_EQ(keptTranslation("Console", nullptr), nullptr);
}

TEST_F(InFrench, TheConsoleCopyDiffersOnlyInItsTextsAndIsMadeOnce) {
    useLanguage(Language::English);
    std::vector<ControlDef> english(consoleControls().begin(), consoleControls().end());
    ASSERT_TRUE(useLanguage(Language::French));
    std::span<const ControlDef> french = consoleControls();

    ASSERT_EQ(french.size(), english.size());
    int translated = 0;
    for (size_t i = 0; i < english.size(); ++i) {
        const ControlDef& e = english[i];
        const ControlDef& f = french[i];
        SCOPED_TRACE(std::to_string(e.id) + " \"" + e.caption + "\"");
        EXPECT_EQ(f.id, e.id);
        EXPECT_EQ(f.kind, e.kind);
        EXPECT_EQ(std::vector<int>({f.x, f.y, f.w, f.h}), std::vector<int>({e.x, e.y, e.w, e.h}));
        EXPECT_EQ(f.flags, e.flags);
        if (std::string(f.caption) != e.caption)
            ++translated;
        else
            EXPECT_EQ(f.caption, e.caption) << "an untranslated caption is the source's own";
    }
    EXPECT_GT(translated, 80);
    EXPECT_STREQ(byId(french, console::kInsertStep).caption, "Insérer un pas");
    EXPECT_EQ(tipOf(console::kStepSpin), "Pas suivant ou précédent");

    // Asked again, the same copy: widgets and models may keep its pointers.
    EXPECT_EQ(consoleControls().data(), french.data());
    EXPECT_EQ(byId(consoleControls(), console::kInsertStep).caption,
              byId(french, console::kInsertStep).caption);
    useLanguage(Language::English);
    EXPECT_STREQ(byId(consoleControls(), console::kInsertStep).caption, "Insert a step");
}

namespace {

// The step a console shows and gives back, declared in the current language.
StepRecord throughTheConsole(const StepRecord& r, std::string* deleteCaption) {
    ControlModel controls;
    Console console{controls};
    populateConsole(controls);
    *deleteCaption = controls.text(console::kDeleteStep);
    console.display(r, DisplayMode::Full);
    return console.capture();
}

} // namespace

TEST_F(InFrench, AConsoleDeclaredInFrenchShowsFrenchAndCapturesTheSameStep) {
    StepRecord r;
    r.master = 120;
    r.fader[3] = 77;
    r.name = "Entr\xE9"
             "e\\nsalle";
    r.fadet = 2.5;
    r.masteront = 1.25;
    r.autofade = 1;
    r.check = {1, 0, 1, 0, 0, 0, 0, 0};
    std::string french;
    StepRecord inFrench = throughTheConsole(r, &french);
    useLanguage(Language::English);
    std::string english;
    StepRecord inEnglish = throughTheConsole(r, &english);
    EXPECT_EQ(french, "Supprimer ce pas");
    EXPECT_EQ(english, "Delete this step");
    EXPECT_EQ(inFrench, inEnglish);
}
