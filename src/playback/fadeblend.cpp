#include "playback/fadeblend.h"

namespace orvane {

namespace {

struct Blend {
    int f, g;
    int32_t operator()(int32_t a, int32_t b) const {
        return int32_t((int64_t(g) * a + int64_t(f) * b) / 256);
    }
    uint8_t byte(uint8_t a, uint8_t b) const { return uint8_t((*this)(a, b)); }
    uint8_t inverted(uint8_t a, uint8_t b) const {
        return uint8_t(255 - (*this)(255 - a, 255 - b));
    }
};

void blendColours(StepRecord& a, const StepRecord& b, const Blend& m) {
    for (int c = 0; c < kColourCount; ++c)
        a.colour[c] = makeColour(m.byte(redOf(a.colour[c]), redOf(b.colour[c])),
                                 m.byte(greenOf(a.colour[c]), greenOf(b.colour[c])),
                                 m.byte(blueOf(a.colour[c]), blueOf(b.colour[c])));
}

void blendScanners(StepRecord& a, const StepRecord& b, const Blend& m) {
    for (int s = 0; s < kScannerCount; ++s) {
        ScannerBlock& x = a.scanner[s];
        const ScannerBlock& y = b.scanner[s];
        x.padX = m(x.padX, y.padX);
        x.padY = m(x.padY, y.padY);
        // Scanners 2 and 3 blend their bytes 0-3; scanner 1 all seven.
        int bytes = s == 0 ? kScannerBytes : 4;
        for (int c = 0; c < bytes; ++c)
            x.channel[c] = m.byte(x.channel[c], y.channel[c]);
    }
}

void blendHeads(StepRecord& a, const StepRecord& b, const Blend& m) {
    for (int h = 0; h < kHeadCount; ++h) {
        HeadBlock& x = a.head[h];
        const HeadBlock& y = b.head[h];
        x.padX = m(x.padX, y.padX);
        x.padY = m(x.padY, y.padY);
        int bytes = h == 0 ? kHead1Bytes : kHeadBytes;
        for (int c = 0; c < bytes; ++c) {
            bool inverted = h == 0 && c >= 6 && c <= 8;
            x.channel[c] = inverted ? m.inverted(x.channel[c], y.channel[c])
                                    : m.byte(x.channel[c], y.channel[c]);
        }
    }
}

} // namespace

void blendToward(StepRecord& a, const StepRecord& b, int f) {
    Blend m{f, 256 - f};
    a.master = m(a.master, b.master);
    for (int k = 0; k < kFaderCount; ++k)
        a.fader[k] = m(a.fader[k], b.fader[k]);
    blendColours(a, b, m);
    blendScanners(a, b, m);
    blendHeads(a, b, m);
}

} // namespace orvane
