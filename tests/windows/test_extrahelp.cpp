// The "Extra help" window shows the help lines as they stand.

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
    EXPECT_EQ(lines[8], QString::fromUtf8("MISCn=OFF|ON turn on or off misc 1 \xc3\xa0 4"));
    EXPECT_EQ(lines[11], QString::fromUtf8("CHAIN=nom du spectacle,num\xc3\xa9ro du pas"));
    EXPECT_EQ(lines.back(), QStringLiteral("EXEC=<Windows command line to execute>"));
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], QString::fromUtf8(kExtraHelpLines[size_t(i)]));
}
