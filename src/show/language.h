#pragma once
// The operator's language. Texts in the source are English; the French ones
// come from the translation compiled into the program. Only what is shown to
// the operator is translated: show files, profiles and what peers receive
// never change with the language.
// The language is chosen once, before any thread starts; after that every
// function here may be called from any thread except the output thread.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

class QString;

namespace orvane {

enum class Language { English, French };

// The setting "language" ("en" or "fr") when it names one; otherwise the
// system's: the first of LANGUAGE (a ':' list), LC_ALL, LC_MESSAGES and LANG
// that names a language, as gettext reads them (LANGUAGE counts only when the
// locale is not C); English when none is French. `env` reads a variable.
struct LanguageChoice {
    Language language = Language::English;
    bool settingRefused = false; // the setting names neither "en" nor "fr"
};
LanguageChoice chooseLanguage(std::string_view setting,
                              const std::function<const char*(const char*)>& env);

// Loads the translation of `language` (English needs none). False when the
// compiled translation cannot be read: texts then stay English.
bool useLanguage(Language language);
Language currentLanguage();

// The C library's messages (strerror, the system's reasons quoted in ours) in
// the same language as the program's texts. Call again after anything that
// sets the process locale from the environment (QApplication does).
void matchSystemMessages();

// Hands the loaded translation, with Qt's own for its buttons, to the running
// Qt application so that tr() in widgets finds them.
void installLanguageInQt();

// The text in the operator's language; `context` groups texts as in the
// translation file. Both are literals that lupdate reads.
std::string translate(const char* context, const char* text);
QString translateQ(const char* context, const char* text);
// A text that counts: %n is replaced by n, and the translation chooses the
// singular or plural form for n. `disambiguation` is normally nullptr.
std::string translate(const char* context, const char* text, const char* disambiguation, int n);

// `text` with its %1, %2... %9 replaced by `args`, in one pass, as in
// fillIn(translate("Saving", "Cannot save the show in %1: %2"), {path, reason}).
std::string fillIn(std::string_view text, std::initializer_list<std::string_view> args);

} // namespace orvane
