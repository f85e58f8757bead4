// The "Extra help" window shows the help lines as they stand.

#include "show/language.h"
#include "support/qtapp.h"
#include "windows/extrahelp.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(ExtraHelp, ShowsEveryLineAsItStands) {
    testApp();
    extrahelp window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Extra help"));
    QStringList lines = window.lines();
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines.front(),
              QStringLiteral("SUPERSCAN1COLOR=OFF|ON turn on or off superscaner 1 color mode"));
    EXPECT_EQ(lines[8], QStringLiteral("MISCn=OFF|ON turn on or off misc 1 to 4"));
    EXPECT_EQ(lines[11], QStringLiteral("CHAIN=show name,step number"));
    EXPECT_EQ(lines.back(), QStringLiteral("EXEC=<command line to execute>"));
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], QString::fromUtf8(kExtraHelpLines[size_t(i)]));
}

// In French the explanations are translated; the command words before "=" stay
// what the operator types.
TEST(ExtraHelp, FrenchKeepsTheCommandWords) {
    testApp();
    ASSERT_TRUE(useLanguage(Language::French));
    extrahelp window;
    QStringList lines = window.lines();
    useLanguage(Language::English);
    ASSERT_EQ(lines.size(), 17);
    EXPECT_EQ(lines[8],
              QString::fromUtf8("MISCn=OFF|ON allume ou \xc3\xa9teint misc 1 \xc3\xa0 4"));
    for (int i = 0; i < lines.size(); ++i) {
        QString english = QString::fromUtf8(kExtraHelpLines[size_t(i)]);
        EXPECT_NE(lines[i], english) << "not translated: " << english.toStdString();
        EXPECT_EQ(lines[i].section('=', 0, 0), english.section('=', 0, 0))
            << lines[i].toStdString();
    }
}
