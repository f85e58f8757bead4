#pragma once
// The colour palette: 33 indexed colours made of four emitters (red, green,
// blue, yellow), with its two conversions. Constant data, safe from any thread.

#include <cstdint>

namespace orvane {

constexpr int kPaletteSize = 33;

struct PaletteEntry {
    uint8_t r, g, b, y;
};

extern const PaletteEntry kPalette[kPaletteSize];

// The display colour (0x00BBGGRR) of an index; black outside 0..32.
uint32_t paletteDisplayColour(uint32_t index);

// The index 0..31 nearest to a colour (0x00BBGGRR); a strong yellow counts as
// the yellow emitter plus what remains.
int nearestPaletteIndex(uint32_t colour);

} // namespace orvane
