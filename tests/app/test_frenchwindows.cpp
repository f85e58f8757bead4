// Every window in French, as the main window opens it: no caption is cut
// where the English window shows it whole, and no text is left in English.

#include "app/orvanedlg.h"
#include "app/toolwindows.h"
#include "show/language.h"
#include "support/qtapp.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "support/windowchecks.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
    TempDir root, config;
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("ORVANE_DMX_PORT", "/nonexistent/orvane-test", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::create_directories(root.file("demo/step0"));
    Opened opened;
    ProfileFiles profiles;
    ScriptedPrompts prompts;
    StartOptions options;
    options.show = "demo";
    COrvaneDlg dlg(profiles, prompts, root.path(), "demo", options);
    dlg.OnInitDialog();
    dlg.tools()->toggleTimeline();
    dlg.tools()->toggleGlobalColour();
    dlg.tools()->toggleManualMode();
    dlg.tools()->openShowTime(0, 0);
    QApplication::processEvents();
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
    dlg.OnDestroy();
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
