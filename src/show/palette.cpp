#include "show/palette.h"

#include "show/steprecord.h"

#include <cstdlib>

namespace orvane {

// clang-format off
const PaletteEntry kPalette[kPaletteSize] = {
    {255,   0,   0,   0}, {255,  64,   0,   0}, {196,   0,   0,  64}, {128,   0,   0, 128},
    { 64,   0,   0, 255}, {  0,   0,   0, 255}, {  0,  64,   0, 255}, {  0, 128,   0, 255},
    {  0, 255,   0, 128}, { 64, 255,   0,   0}, {  0, 255,   0,   0}, {  0, 255,  32,   0},
    {  0, 255,  64,   0}, {  0, 255, 128,   0}, {  0, 255, 196,   0}, {  0, 255, 255,   0},
    {  0, 196, 255,   0}, {  0, 128, 255,   0}, {  0,  64, 255,   0}, {  0,  32, 255,   0},
    {  0,   0, 255,   0}, { 32,   0, 255,   0}, { 64,   0, 255,   0}, {128,   0, 255,   0},
    {196,   0, 255,   0}, {255,   0, 255,   0}, {255,   0, 196,   0}, {255,   0, 128,   0},
    {255,   0,  64,   0}, {255,   0,  32,   0}, {255,   0,   0,   0}, {255, 255, 255, 255},
    {218,   7,   0,   0},
};
// clang-format on

uint32_t paletteDisplayColour(uint32_t index) {
    if (index >= uint32_t(kPaletteSize))
        return 0;
    const PaletteEntry& e = kPalette[index];
    int r = e.r + e.y, g = e.g + e.y, b = e.b;
    if (r == 510 && g == 510 && b == 255)
        return makeColour(255, 255, 255);
    while (r > 255 || g > 255 || b > 255) {
        r -= r != 0;
        g -= g != 0;
        b -= b != 0;
    }
    return makeColour(uint8_t(r), uint8_t(g), uint8_t(b));
}

int nearestPaletteIndex(uint32_t colour) {
    int r = redOf(colour), g = greenOf(colour), b = blueOf(colour);
    int m = (r + g) / 2;
    if (m > 200 && b < 200) {
        r = r > m ? r - m : 0;
        g = g > m ? g - m : 0;
    }
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 32; ++i) {
        int d =
            std::abs(r - kPalette[i].r) + std::abs(g - kPalette[i].g) + std::abs(b - kPalette[i].b);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

} // namespace orvane
