// Every window in French, as the main window opens it: no caption is cut
// where the English window shows it whole, and no text is left in English.

#include "consolewithtools.h"
#include "show/language.h"
#include "support/windowchecks.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

using namespace orvane;
using namespace orvane::test;

namespace {

// A cut caption, named by its window's class and place and its own place.
using CutKey = std::tuple<std::string, int, int, int, int, int, int>;

struct Opened {
    std::map<CutKey, std::string> cut; // what each cut caption is, as the check says
    std::vector<std::string> titles;
};

Opened openEveryWindow(Language language) {
    useLanguage(language);
    Opened opened;
    ConsoleWithToolWindows console;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("QMenu") || w->inherits("QTipLabel") || !w->isVisible())
            continue;
        opened.titles.push_back(w->windowTitle().toStdString());
        for (const CutCaption& c : captionsCut(w)) {
            CutKey key{w->metaObject()->className(),
                       w->x(),
                       w->y(),
                       c.place.x(),
                       c.place.y(),
                       c.place.width(),
                       c.place.height()};
            opened.cut[key] = w->windowTitle().toStdString() + ": " + c.what;
        }
    }
    useLanguage(Language::English);
    return opened;
}

TEST(FrenchWindows, NoCaptionIsCutThatEnglishShowsWholeAndEveryTitleIsFrench) {
    testApp();
    Opened english = openEveryWindow(Language::English);
    Opened french = openEveryWindow(Language::French);
    ASSERT_EQ(french.titles.size(), english.titles.size());
    std::vector<std::string> worse;
    for (const auto& [key, what] : french.cut)
        if (!english.cut.count(key))
            worse.push_back(what);
    EXPECT_EQ(worse, std::vector<std::string>{});
    for (size_t t = 0; t < french.titles.size(); ++t) {
        if (english.titles[t] != "orvane" && english.titles[t].rfind("orvane ", 0) != 0) {
            EXPECT_NE(french.titles[t], english.titles[t]) << "title left in English";
        }
    }
}

} // namespace
