#include "app/languagesetting.h"

#include "show/inifile.h"
#include "show/language.h"
#include "show/showfolders.h"

#include <cstdio>
#include <cstdlib>

namespace orvane {

namespace {

std::string& problem() {
    static std::string p;
    return p;
}

} // namespace

void applyLanguageSetting() {
    ProfileFiles profiles;
    std::string value = setting(profiles, "language", "");
    LanguageChoice choice =
        chooseLanguage(value, [](const char* name) { return std::getenv(name); });
    bool loadedFine = useLanguage(choice.language);
    matchSystemMessages();
    // untranslated-begin: no translation could be loaded
    if (!loadedFine)
        problem() = "The French translation built into the program cannot be read: texts stay in "
                    "English";
    // untranslated-end
    else if (choice.settingRefused)
        problem() = fillIn(
            translate("Settings",
                      "Unknown language \"%1\" in the setting language (en or fr): %2 is used"),
            {value, choice.language == Language::French ? translate("Settings", "French")
                                                        : translate("Settings", "English")});
    if (!problem().empty())
        std::fprintf(stderr, "orvane: %s\n", problem().c_str());
}

const std::string& languageSettingProblem() {
    return problem();
}

} // namespace orvane
