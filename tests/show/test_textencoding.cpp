// Show texts in the encoding they came in: Windows-1252 decoded for display
// and written back byte for byte.

#include "show/textencoding.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(TextEncoding, EveryWindows1252ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    std::string shown = windows1252ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(shown));
    EXPECT_EQ(utf8ToWindows1252(shown), all);
    EXPECT_EQ(characterCount(all, TextEncoding::Windows1252), 255u);
}

TEST(TextEncoding, LettersOfTheCodePageShowAsThemselves) {
    struct Case {
        std::string cp1252;
        std::string utf8;
    } cases[] = {
        {"fond rouge \xE9t\xE9", "fond rouge \xC3\xA9t\xC3\xA9"},
        {"Premier pas\x85", "Premier pas\xE2\x80\xA6"},
        {"\x80 \x9C\x8C", "\xE2\x82\xAC \xC5\x93\xC5\x92"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windows1252ToUtf8(c.cp1252), c.utf8);
        EXPECT_EQ(utf8ToWindows1252(c.utf8), c.cp1252);
        EXPECT_EQ(decodeStored(c.cp1252, TextEncoding::Windows1252), c.utf8);
        EXPECT_EQ(encodeStored(c.utf8, TextEncoding::Windows1252), c.cp1252);
        EXPECT_EQ(decodeStored(c.utf8, TextEncoding::Utf8), c.utf8);
    }
    // A letter the code page lacks is stored as "?".
    EXPECT_EQ(utf8ToWindows1252("\xC5\x91z"), "?z");
}

TEST(TextEncoding, AFileIsUtf8OnlyWhenAllOfItIs) {
    EXPECT_EQ(detectEncoding("plain ascii"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("caf\xC3\xA9"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding("caf\xE9"), TextEncoding::Windows1252);
    for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"})
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x8E\xAD"));
}

TEST(TextEncoding, VedaMessagesCountCharactersOfTheShowsEncoding) {
    // Twenty accented letters are twenty characters in either encoding.
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += "\xC3\xA9";
    auto cp = vedaMessage(twenty, TextEncoding::Windows1252);
    ASSERT_TRUE(cp);
    EXPECT_EQ(*cp, std::string(20, '\xE9'));
    auto utf = vedaMessage(twenty, TextEncoding::Utf8);
    ASSERT_TRUE(utf);
    EXPECT_EQ(*utf, twenty);
    EXPECT_FALSE(vedaMessage(twenty + "x", TextEncoding::Windows1252));
    EXPECT_EQ(vedaMessage("caf\xC3\xA9", TextEncoding::Windows1252),
              "caf\xE9" + std::string(16, ' '));
    EXPECT_EQ(vedaMessage("", TextEncoding::Utf8), std::string(20, ' '));
}

TEST(TextEncoding, StoredTextsAreCutWithoutSplittingACharacter) {
    EXPECT_EQ(cutStored("ab\xC3\xA9", 3, TextEncoding::Utf8), "ab");
    EXPECT_EQ(cutStored("ab\xE9\xE9", 3, TextEncoding::Windows1252), "ab\xE9");
}
