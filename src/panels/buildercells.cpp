#include "panels/buildercells.h"

#include "show/palette.h"
#include "show/textutil.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvane {

namespace {

struct ColourWord {
    const char* lower;
    const char* upper;
    uint32_t colour;
};

// Checked in this order: the first word found decides, so "rouge" wins over
// "rose" in a text holding both.
// untranslated-begin: words looked for in effect file names, never shown
constexpr std::array<ColourWord, 9> kColourWords = {{
    {"noir", "NOIR", 0x000000},
    {"blanc", "BLANC", 0xFFFFFF},
    {"rouge", "ROUGE", 0x0000FF},
    {"vert", "VERT", 0x00FF00},
    {"jaune", "JAUNE", 0x00FFFF},
    {"rose", "ROSE", 0xFF00FF},
    {"violet", "VIOLET", 0x800080},
    {"bleu", "BLEU", 0xFF0000},
    {"orange", "ORANGE", 0x008080},
}};
// untranslated-end

// Colours added as they are, and colours that hold a palette index (0-based).
constexpr std::array<int, 6> kPlainColours = {0, 1, 3, 6, 7, 8};
constexpr std::array<int, 3> kPaletteColours = {2, 4, 5};

std::optional<uint32_t> wordColour(const std::string& ple) {
    if (ple.empty())
        return std::nullopt;
    for (const ColourWord& w : kColourWords)
        if (ple.find(w.lower) != std::string::npos || ple.find(w.upper) != std::string::npos)
            return w.colour;
    return std::nullopt;
}

uint8_t scaled(int64_t master, int64_t component, int64_t largest) {
    return uint8_t(std::clamp<int64_t>(master * component / largest, 0, 255));
}

int transitionArt(const StepRecord& r) {
    // Drawn in the order manual, end of sound, timed: the last one drawn shows.
    if (r.autofade == 1)
        return kArtTimed;
    if (r.nextonstop == 1)
        return kArtEndOfSound;
    if (r.autofade == 0 && r.nextonstop == 0)
        return kArtManual;
    return 0;
}

} // namespace

uint32_t stepColour(const StepRecord& r) {
    if (std::optional<uint32_t> word = wordColour(r.ple))
        return *word;
    int64_t sum[3] = {0, 0, 0};
    for (int32_t level : r.fader)
        for (int64_t& s : sum)
            s += level == kLevelForcedOff ? 0 : level;
    auto add = [&sum](uint32_t c) {
        sum[0] += redOf(c);
        sum[1] += greenOf(c);
        sum[2] += blueOf(c);
    };
    for (int i : kPlainColours)
        add(r.colour[size_t(i)]);
    for (int i : kPaletteColours)
        add(paletteDisplayColour(r.colour[size_t(i)]));
    int64_t largest = std::max({sum[0], sum[1], sum[2]});
    if (largest <= 0)
        return 0;
    return makeColour(scaled(r.master, sum[0], largest), scaled(r.master, sum[1], largest),
                      scaled(r.master, sum[2], largest));
}

uint32_t gradientColour(uint32_t from, uint32_t to, int k, int width) {
    if (width <= 0)
        return from;
    auto part = [k, width](int a, int b) { return uint8_t(a + k * (b - a) / width); };
    return makeColour(part(redOf(from), redOf(to)), part(greenOf(from), greenOf(to)),
                      part(blueOf(from), blueOf(to)));
}

CellSpan cellSpan(int stripWidth, int count, int i) {
    if (count <= 0)
        return {};
    double w = double(stripWidth) / count;
    return {int(std::trunc(i * w)), int(std::trunc((i + 1) * w))};
}

std::optional<int> cellAt(int x, int y, int stripWidth, int stripHeight, int count) {
    if (x < 0 || y < 0 || x >= stripWidth || y > stripHeight || count <= 0)
        return std::nullopt;
    int i = int(std::trunc(x / (double(stripWidth) / count)));
    return std::min(i, count - 1);
}

int levelBarHeight(int32_t position) {
    return int(std::clamp<int64_t>((500000 - 50 * int64_t(position)) / 10000, 0, 50));
}

std::optional<size_t> matchSound(const std::vector<std::string>& names, std::string_view name) {
    if (name.empty())
        return std::nullopt;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].size() >= name.size() &&
            equalsIgnoreCase(std::string_view(names[i]).substr(0, name.size()), name))
            return i;
    return std::nullopt;
}

CellPicture cellPicture(int step, const StepRecord& r, const StepRecord& next, CellSpan span,
                        const std::vector<std::string>& soundNames, bool current) {
    CellPicture c;
    c.step = step;
    c.span = span;
    c.bandFrom = stepColour(r);
    c.gradient = r.fadet > 0 && r.nextonstop == 0 && r.faderude == 0;
    c.bandTo = c.gradient ? stepColour(next) : c.bandFrom;
    c.number = format("%u", unsigned(step));
    c.ple = r.ple;
    c.transitionArt = transitionArt(r);
    if (r.fadet > 0 && r.nextonstop == 0)
        c.fadeText = twoDecimals(r.fadet) + "S";
    c.stepSound = r.stepsound == 1;
    c.redBar1 = levelBarHeight(r.sound1);
    c.redBar2 = levelBarHeight(r.sound2);
    c.pause = r.togglepause == 1;
    if (r.playatbegin == 1) {
        std::optional<size_t> found = matchSound(soundNames, r.soundnameatbegin);
        c.playArt = found ? kArtPlaySound : kArtStopSound;
        if (found)
            c.playName = r.soundnameatbegin;
    }
    c.current = current;
    return c;
}

std::string twoDecimals(double value) {
    return formatFixed(value, 2);
}

} // namespace orvane
