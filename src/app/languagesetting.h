#pragma once
// The setting "language", applied before anything is said to the operator.

#include <string>

namespace orvane {

// Reads the setting, chooses the language (see chooseLanguage) and loads its
// translation. A setting that names no language, or a translation that cannot
// be read, is said on stderr; the same text is kept for the window.
void applyLanguageSetting();
const std::string& languageSettingProblem();

} // namespace orvane
