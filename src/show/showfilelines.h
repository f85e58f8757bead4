#pragma once
// The lines of a show file as the show file reader takes them, and the lines
// that give the show table no entry: without "=", before any section header,
// or in a section outside steps 0-499. The reader and the pre-show check share
// these rules. Pure logic.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Takes the next line as a 2048-byte line reader would: up to and including
// the line feed, or 2047 characters, or what is left. Then the line end goes:
// CR LF or LF counts as one; a line without one loses its last character.
std::string_view takeShowFileLine(std::string_view& rest);

enum class ShowLineFault { NoEquals, BeforeSection, OutsideSteps };

struct UnreadShowLine {
    size_t line = 0; // 1-based line of the file
    ShowLineFault fault = ShowLineFault::NoEquals;
    int step = -1;    // the step (section number) it stands in or names; -1 before any section
    std::string text; // the line as read, cut to a length a message can show
    bool operator==(const UnreadShowLine&) const = default;
};

// Every line of a show file's text that the reader skips or drops, in file order.
std::vector<UnreadShowLine> unreadShowLines(std::string_view fileText);

} // namespace orvane
