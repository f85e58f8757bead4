#pragma once
// What the easy show builder's strip shows: the colour that stands for a step,
// the place of each cell, and one cell's picture worked out from its step
// record, so that drawing it is a plain walk over the result. Pure functions,
// safe from any thread.

#include "show/steprecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// The colour that stands for a step (0x00BBGGRR): a colour word in its "ple"
// text first ("noir", "blanc", "rouge", ... in that order, lower or upper
// case), else the fader levels and colours summed and scaled to the master.
uint32_t stepColour(const StepRecord& record);

// Column k (0 <= k < width) of a band going from one colour to another.
uint32_t gradientColour(uint32_t from, uint32_t to, int k, int width);

// The x span of cell i of a strip of the given width cut into count cells:
// from trunc(i * w) to trunc((i + 1) * w), w = width / count.
struct CellSpan {
    int left = 0;
    int right = 0;
    int width() const { return right - left; }
};
CellSpan cellSpan(int stripWidth, int count, int i);

// The cell under a point of the strip (0 .. count - 1), or nothing outside it.
std::optional<int> cellAt(int x, int y, int stripWidth, int stripHeight, int count);

// The pictures of the strip, by the numbers their artwork is known by.
enum BuilderArt : int {
    kArtTimed = 128,      // automatic transition after the fade time
    kArtStepSound = 129,  // the step carries its own sound levels
    kArtManual = 130,     // the operator moves on
    kArtPlaySound = 131,  // a sound of the show starts with the step
    kArtStopSound = 132,  // the step stops the sound (or names no known sound)
    kArtEndOfSound = 136, // the end of the sound moves on
    kArtPause = 1324,     // the step toggles the pause
};

// One cell as it is drawn. Coordinates are relative to the strip.
struct CellPicture {
    int step = 0;
    CellSpan span;
    uint32_t bandFrom = 0; // the step's colour
    uint32_t bandTo = 0;   // the next step's colour; equal to bandFrom for a solid band
    bool gradient = false;
    std::string number; // "%u"
    std::string ple;
    int transitionArt = 0; // kArtTimed, kArtEndOfSound, kArtManual or 0
    std::string fadeText;  // "%.2fS" when the fade is timed, else empty
    bool stepSound = false;
    int redBar1 = 0; // red heights of the level bars (sound1, sound2), 0..50 pixels
    int redBar2 = 0;
    bool pause = false;
    int playArt = 0;      // kArtPlaySound, kArtStopSound or 0
    std::string playName; // the sound the step starts, when it is known
    bool current = false; // the main window's current step: red outline
};

// Height of the red part of a level bar for a sound slider position: 50 pixels
// at position 0 (full), none at 10000.
int levelBarHeight(int32_t position);

// The sound the name picks among the listed ones: the first whose leading
// characters equal the name without regard to case. An empty name picks none.
std::optional<size_t> matchSound(const std::vector<std::string>& names, std::string_view name);

// The picture of one cell from its step and the step after it.
CellPicture cellPicture(int step, const StepRecord& record, const StepRecord& next, CellSpan span,
                        const std::vector<std::string>& soundNames, bool current);

// A number with two decimals, "." as the separator whatever the locale.
std::string twoDecimals(double value);

} // namespace orvane
