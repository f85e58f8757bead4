// The operator's language: the setting over the system's variables as gettext
// reads them, and the French texts found once the translation is loaded.

#include "show/language.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace orvane;

namespace {

struct Case {
    const char* setting;
    std::map<std::string, std::string> env;
    Language expected;
    bool refused;
};

LanguageChoice choose(const Case& c) {
    return chooseLanguage(c.setting, [&](const char* name) -> const char* {
        auto it = c.env.find(name);
        return it == c.env.end() ? nullptr : it->second.c_str();
    });
}

TEST(Language, SettingOverridesTheSystemAndEnvironmentOrderHolds) {
    const Case cases[] = {
        {"fr", {{"LANG", "C"}}, Language::French, false},
        {"FR", {}, Language::French, false},
        {"en", {{"LANG", "fr_FR.UTF-8"}}, Language::English, false},
        // An unknown setting falls back to the system's language, and says so.
        {"de", {{"LANG", "fr_FR.UTF-8"}}, Language::French, true},
        {"", {}, Language::English, false},
        {"", {{"LANG", "C"}}, Language::English, false},
        {"", {{"LANG", "C.UTF-8"}}, Language::English, false},
        {"", {{"LANG", "fr_FR.UTF-8"}}, Language::French, false},
        {"", {{"LANG", "fr_CA"}}, Language::French, false},
        {"", {{"LANG", "de_DE.UTF-8"}}, Language::English, false},
        // LC_ALL, then LC_MESSAGES, then LANG.
        {"", {{"LC_ALL", "C"}, {"LANG", "fr_FR.UTF-8"}}, Language::English, false},
        {"", {{"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "en_GB.UTF-8"}}, Language::French, false},
        {"", {{"LC_ALL", ""}, {"LANG", "fr_FR.UTF-8"}}, Language::French, false},
        // LANGUAGE is a list, and counts only when the locale is not C.
        {"", {{"LANGUAGE", "de:fr:en"}, {"LANG", "en_US.UTF-8"}}, Language::French, false},
        {"", {{"LANGUAGE", "en:fr"}, {"LANG", "fr_FR.UTF-8"}}, Language::English, false},
        {"", {{"LANGUAGE", "fr"}, {"LANG", "C"}}, Language::English, false},
        {"", {{"LANGUAGE", "fr"}}, Language::English, false},
        {"", {{"LANGUAGE", "fr"}, {"LANG", "C.UTF-8"}}, Language::French, false},
        {"", {{"LANGUAGE", "de"}, {"LANG", "fr_FR"}}, Language::French, false},
        // "french" and "frisian" are not fr.
        {"", {{"LANG", "fry_NL"}}, Language::English, false},
    };
    for (const Case& c : cases) {
        LanguageChoice choice = choose(c);
        std::string what = std::string("setting '") + c.setting + "', " +
                           std::to_string(c.env.size()) + " variable(s)";
        for (const auto& [k, v] : c.env)
            what += " " + k + "=" + v;
        EXPECT_EQ(choice.language, c.expected) << what;
        EXPECT_EQ(choice.settingRefused, c.refused) << what;
    }
}

TEST(Language, FrenchTextsComeFromTheBuiltInTranslation) {
    ASSERT_TRUE(useLanguage(Language::French));
    EXPECT_EQ(currentLanguage(), Language::French);
    EXPECT_EQ(translate("Settings", "English"), "anglais");
    // A text the translation does not hold stays as it is.
    EXPECT_EQ(translate("Settings", "No such text"), "No such text");
    ASSERT_TRUE(useLanguage(Language::English));
    EXPECT_EQ(translate("Settings", "English"), "English");
}

TEST(Language, ValuesAreSetInOnePassWithoutBeingReadAsPlaceholders) {
    ASSERT_TRUE(useLanguage(Language::English));
    EXPECT_EQ(fillIn("%1 then %2", {"a%2", "b"}), "a%2 then b");
    EXPECT_EQ(fillIn("%2 before %1", {"x", "y"}), "y before x");
    EXPECT_EQ(fillIn("100% of %1, %3 missing", {"z"}), "100% of z, %3 missing");
    EXPECT_EQ(translate("Tests", "%n problem(s)", nullptr, 3), "3 problem(s)");
}

} // namespace
