// The show file lines that give no entry, by the reader's own rules: the lines
// said to be unread are exactly the lines the show table does not get.

#include "show/showfilelines.h"
#include "show/showstore.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <climits>

using namespace orvane;
using namespace orvane::test;

namespace orvane {
void PrintTo(const UnreadShowLine& u, std::ostream* os) {
    *os << "line " << u.line << " fault " << int(u.fault) << " step " << u.step << " section \""
        << u.section << "\" \"" << u.text << "\"";
}
} // namespace orvane

TEST(ShowFileLines, SaysWhichLinesTheReaderSkipsOrDrops) {
    using F = ShowLineFault;
    struct Case {
        const char* name;
        std::string file;
        std::vector<UnreadShowLine> unread;
    } cases[] = {
        {"clean", "[GLOBAL]\r\nmanualstep=1\r\n3$master=2\r\n\r\n[4]\r\nname=x\r\n", {}},
        {"before any section",
         "stray\nkey=1\n[0]\nmaster=1\n",
         {{1, F::BeforeSection, -1, "", "stray"}, {2, F::BeforeSection, -1, "", "key=1"}}},
        {"no equals sign, in a step and in a named section",
         "[7]\r\nhello\r\n[GLOBAL]\r\nworld\r\n",
         {{2, F::NoEquals, 7, "", "hello"}, {4, F::NoEquals, -1, "", "world"}}},
        {"sections outside the steps",
         "[GLOBAL]\r\n600$master=5\r\n-1$x=1\r\n[500]\r\nmaster=1\r\n499$master=1\r\n",
         {{2, F::OutsideSteps, 600, "600", "600$master=5"},
          {3, F::OutsideSteps, -1, "-1", "-1$x=1"},
          {5, F::OutsideSteps, 500, "500", "master=1"}}},
        // Past 32 bits a section never wraps onto a step.
        {"sections past 32 bits",
         "[4294967297]\r\nfadet=1\r\n4294967296$master=1\r\n",
         {{2, F::OutsideSteps, INT32_MAX, "4294967297", "fadet=1"},
          {3, F::OutsideSteps, INT32_MAX, "4294967296", "4294967296$master=1"}}},
        // A final line without a line end loses its last character: "ab=" stays.
        {"last line without its end", "[1]\nab=c", {}},
        {"last line that loses its equals sign", "[1]\nab=", {{2, F::NoEquals, 1, "", "ab"}}},
        // An empty header leaves no section.
        {"empty header", "[]\nmaster=1\n", {{2, F::BeforeSection, -1, "", "master=1"}}},
        {"lone CR line ends",
         "[GLOBAL]\rmanualstep=1\r[3]\rmaster=9\rjunk\r",
         {{5, F::NoEquals, 3, "", "junk"}}},
        // With LF line ends a lone CR is part of its value.
        {"a lone CR inside a value", "[2]\r\nextra=A\rB\r\nname=x\ry\r\n", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(unreadShowLines(c.file), c.unread) << c.name;
}

TEST(ShowFileLines, LoneCrLineEndsAreToldFromLoneCrsInValues) {
    struct Case {
        const char* name;
        std::string file;
        LineEnds ends;
    } cases[] = {
        {"CR LF", "[1]\r\nname=a\r\n", LineEnds::Lf},
        {"LF", "[1]\nname=a\n", LineEnds::Lf},
        {"lone CR", "[1]\rname=a\rextra=b\r", LineEnds::LoneCr},
        {"lone CR with a stray LF", "[1]\rname=a\nb\rextra=c\rfadet=1\r", LineEnds::LoneCr},
        {"a few lone CRs in values", "[2]\r\nextra=A\rB\rC\r\nname=x\ry\r\n", LineEnds::Lf},
        {"no line end", "[1]", LineEnds::Lf},
    };
    for (const Case& c : cases)
        EXPECT_EQ(showFileLineEnds(c.file), c.ends) << c.name;
}

TEST(ShowFileLines, ALineIsReadWholeWhateverItsLength) {
    std::string file = "[1]\r\nname=" + std::string(100000, 'a') + "\r\n3$x=1\r\nbad\r\n";
    std::vector<UnreadShowLine> unread = unreadShowLines(file);
    ASSERT_EQ(unread.size(), 1u);
    EXPECT_EQ(unread[0].line, 4u);
    EXPECT_EQ(unread[0].step, 1);
    std::string_view rest = file;
    takeShowFileLine(rest);
    EXPECT_EQ(takeShowFileLine(rest).size(), 5u + 100000u);
}

TEST(ShowFileLines, TheUnreadLinesAreTheLinesTheTableDoesNotGet) {
    // Every entry line names a different key, so each read line is one entry.
    std::string file = "junk=1\r\n[GLOBAL]\r\nmanualstep=3\r\nno equals\r\n"
                       "[12]\r\nmaster=1\r\n12$name=n\r\n900$master=1\r\n[20x]\r\nfadet=2\r\n"
                       "[-4]\r\nmaster=1\r\n[499]\r\nextra=A=B\r\n" +
                       std::string(3000, 'k') + "=v\r\n";
    size_t entryLines = 0;
    std::string_view rest = file;
    while (!rest.empty()) {
        std::string_view line = takeShowFileLine(rest);
        entryLines += !line.empty() && line.front() != '[';
    }
    TempDir dir;
    writeFile(dir.file("dmx.ini"), file);
    ProfileFiles profiles;
    ShowStore store(profiles);
    ASSERT_EQ(store.LoadShowFile(dir.file("dmx.ini")), 0);
    EXPECT_EQ(store.table().entryCount(), entryLines - unreadShowLines(file).size());
    EXPECT_EQ(unreadShowLines(file).size(), 4u);
}
