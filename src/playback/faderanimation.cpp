#include "playback/faderanimation.h"

#include "console/console.h"
#include "console/controlmodel.h"
#include "show/textutil.h"

#include <algorithm>
#include <cctype>

namespace orvane {

void FaderList::add(int fader) {
    if (fader < 1 || fader > kLevelFaders || full())
        return;
    m_faders[size_t(m_count++)] = uint8_t(fader);
}

int levelFaderId(int fader) {
    return console::kFaders[size_t(fader - 1)];
}

static bool isDigit(std::string_view text, size_t pos) {
    return pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]));
}

static size_t skipDigits(std::string_view text, size_t pos) {
    while (isDigit(text, pos))
        ++pos;
    return pos;
}

static bool startsWithOption(std::string_view text, size_t pos, std::string_view option) {
    return text.size() - pos >= option.size() &&
           equalsIgnoreCase(text.substr(pos, option.size()), option);
}

// One item at pos; returns the position after what the walk consumes of it.
static size_t walkItem(std::string_view text, size_t pos, FaderList& list, RandomBounds* bounds) {
    for (std::string_view option : {"min=", "max="}) {
        if (bounds && startsWithOption(text, pos, option)) {
            size_t value = pos + option.size();
            (option[1] == 'i' ? bounds->min : bounds->max) = leadingInt(text.substr(value));
            return skipDigits(text, value);
        }
    }
    // The number conversion skips leading blanks; the walk only passes digits
    // that stand directly at the position.
    list.add(leadingInt(text.substr(pos)));
    return skipDigits(text, pos);
}

void walkFaderList(std::string_view text, size_t pos, FaderList& list, RandomBounds* bounds) {
    pos = std::min(pos, text.size());
    while (true) {
        pos = walkItem(text, pos, list, bounds);
        if (pos >= text.size() || text[pos] != ',' || list.full())
            return;
        ++pos;
    }
}

static void setLevel(ControlModel& controls, int fader, int level) {
    controls.setPos(levelFaderId(fader), 255 - std::clamp(level, 0, 255));
}

void RandomFaders::parse(std::string_view text, size_t pos) {
    m_list.clear();
    walkFaderList(text, pos, m_list, &m_bounds);
}

void RandomFaders::tick(ControlModel& controls) {
    if (m_bounds.max < m_bounds.min)
        return;
    int64_t span = int64_t(m_bounds.max) - m_bounds.min;
    for (int i = 0; i < m_list.count(); ++i) {
        int64_t level = m_bounds.min;
        if (span > 0)
            level += int64_t(m_random() % uint64_t(span));
        setLevel(controls, m_list[i], int(std::clamp<int64_t>(level, 0, 255)));
    }
}

void SoundActiveFaders::parse(std::string_view text, size_t pos) {
    m_list.clear();
    walkFaderList(text, pos, m_list, nullptr);
}

void SoundActiveFaders::tick(ControlModel& controls, int left, int right) {
    int64_t level = (int64_t(left) + right) * 255 / 30000;
    for (int i = 0; i < m_list.count(); ++i)
        setLevel(controls, m_list[i], int(std::clamp<int64_t>(level, 0, 255)));
}

} // namespace orvane
