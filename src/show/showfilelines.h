#pragma once
// The lines of a show file as the show file reader takes them, and the lines
// that give the show table no entry: without "=", before any section header,
// or in a section outside steps 0-499. The reader and the pre-show check share
// these rules. Pure logic.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// How a show file's lines end: LF (or CR LF), or a lone CR, as old Macintosh
// editors write them. A file with more than twice as many lone CRs as LFs is
// read at its CRs (a stray LF then stays in the text it stands in); in any
// other file a lone CR belongs to the text it stands in (a caption or an
// Extra may hold a few) and stays there.
enum class LineEnds : uint8_t { Lf, LoneCr };
LineEnds showFileLineEnds(std::string_view fileText);

// Takes the next line, whatever its length: up to and including its line end,
// or what is left. Then the line end goes: CR LF or LF (a lone CR in a LoneCr
// file) counts as one; a last line without one loses its last character.
std::string_view takeShowFileLine(std::string_view& rest, LineEnds ends = LineEnds::Lf);

enum class ShowLineFault { NoEquals, BeforeSection, OutsideSteps };

struct UnreadShowLine {
    size_t line = 0; // 1-based line of the file
    ShowLineFault fault = ShowLineFault::NoEquals;
    int step = -1;       // the step (section number) it stands in or names; -1 before any section
    std::string section; // OutsideSteps: the section as written ("4294967297")
    std::string text;    // the line as read, cut to a length a message can show
    bool operator==(const UnreadShowLine&) const = default;
};

// Every line of a show file's text that the reader skips or drops, in file order.
std::vector<UnreadShowLine> unreadShowLines(std::string_view fileText);

} // namespace orvane
