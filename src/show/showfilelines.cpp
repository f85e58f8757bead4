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

LineEnds showFileLineEnds(std::string_view fileText) {
    size_t lf = 0, loneCr = 0;
    for (size_t i = 0; i < fileText.size(); ++i) {
        if (fileText[i] == '\n')
            ++lf;
        else if (fileText[i] == '\r' && (i + 1 == fileText.size() || fileText[i + 1] != '\n'))
            ++loneCr;
    }
    return loneCr > 2 * lf ? LineEnds::LoneCr : LineEnds::Lf;
}

std::string_view takeShowFileLine(std::string_view& rest, LineEnds ends) {
    const char end = ends == LineEnds::LoneCr ? '\r' : '\n';
    size_t at = rest.find(end);
    size_t take = at == std::string_view::npos ? rest.size() : at + 1;
    std::string_view line = rest.substr(0, take);
    rest.remove_prefix(take);
    if (!line.empty() && line.back() == end) {
        line.remove_suffix(1);
        if (end == '\n' && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
    } else if (!line.empty()) {
        line.remove_suffix(1);
    }
    return line;
}

std::vector<UnreadShowLine> unreadShowLines(std::string_view fileText) {
    std::vector<UnreadShowLine> unread;
    const LineEnds ends = showFileLineEnds(fileText);
    std::string section;
    size_t lineNumber = 0;
    std::string_view rest = fileText;
    while (!rest.empty()) {
        std::string_view line = takeShowFileLine(rest, ends);
        size_t at = ++lineNumber;
        if (line.empty())
            continue;
        if (line.front() == '[') {
            line.remove_prefix(1);
            if (!line.empty())
                line.remove_suffix(1);
            section.assign(line);
            continue;
        }
        UnreadShowLine u{
            at, ShowLineFault::NoEquals, -1, {}, std::string(cutUtf8(line, kShownTextMax))};
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
            std::string_view written = dollar == std::string_view::npos ? std::string_view(section)
                                                                        : key.substr(0, dollar);
            int number = ShowTable::sectionNumber(written);
            if (inSteps(number))
                continue;
            u.fault = ShowLineFault::OutsideSteps;
            u.step = number;
            u.section = std::string(cutUtf8(written, kShownTextMax));
        }
        unread.push_back(std::move(u));
    }
    return unread;
}

} // namespace orvane
