#include "show/showfilelines.h"

#include "show/showstore.h"
#include "show/showtable.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

namespace {

constexpr size_t kShownTextMax = 60;

bool inSteps(int section) {
    return section >= 0 && section < kStepCount;
}

} // namespace

std::string_view takeShowFileLine(std::string_view& rest) {
    size_t lf = rest.find('\n');
    size_t take = lf == std::string_view::npos ? rest.size() : lf + 1;
    bool crlf = lf != std::string_view::npos && lf > 0 && rest[lf - 1] == '\r';
    size_t budget = kShowReadLineMax + (crlf ? 1 : 0);
    take = std::min(take, budget);
    std::string_view line = rest.substr(0, take);
    rest.remove_prefix(take);
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
    } else if (!line.empty()) {
        line.remove_suffix(1);
    }
    return line;
}

std::vector<UnreadShowLine> unreadShowLines(std::string_view fileText) {
    std::vector<UnreadShowLine> unread;
    std::string section;
    size_t lineNumber = 1;
    std::string_view rest = fileText;
    while (!rest.empty()) {
        std::string_view line = takeShowFileLine(rest);
        size_t at = lineNumber;
        // A chunk that does not end at a line feed is the first part of an
        // overlong line: the rest of it keeps the line's number.
        if (fileText[fileText.size() - rest.size() - 1] == '\n')
            ++lineNumber;
        if (line.empty())
            continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            if (!line.empty())
                line.remove_suffix(1);
            section.assign(line);
            continue;
        }
        UnreadShowLine u{at, ShowLineFault::NoEquals, -1,
                         std::string(cutUtf8(line, kShownTextMax))};
        int current = section.empty() ? -1 : ShowTable::sectionNumber(section);
        size_t eq = line.find('=');
        if (section.empty()) {
            u.fault = ShowLineFault::BeforeSection;
        } else if (eq == std::string_view::npos) {
            // A named section ("GLOBAL") reads as section 0 but is no step's.
            bool numbered = section.front() >= '0' && section.front() <= '9';
            u.step = numbered && inSteps(current) ? current : -1;
        } else {
            std::string_view key = line.substr(0, eq);
            size_t dollar = key.find('$');
            int number = dollar == std::string_view::npos
                             ? current
                             : ShowTable::sectionNumber(key.substr(0, dollar));
            if (inSteps(number))
                continue;
            u.fault = ShowLineFault::OutsideSteps;
            u.step = number;
        }
        unread.push_back(std::move(u));
    }
    return unread;
}

} // namespace orvane
