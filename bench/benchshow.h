#pragma once
// A full show for the show benchmarks: every step saved with every value set.

#include "show/showstore.h"

namespace bench {

inline orvane::StepRecord fullRecord(int step) {
    using namespace orvane;
    StepRecord r;
    r.master = step % 256;
    for (int i = 0; i < kEntryCount; ++i) {
        r.lamp[i] = {16777215u, 10, 200, 3, 4};
        r.pair[i] = {uint8_t(i), uint8_t(step)};
    }
    for (int f = 0; f < kFaderCount; ++f)
        r.fader[f] = (f * 7 + step) % 256;
    r.name = "Step name\\nsecond line";
    r.extra = "EXEC=echo hello\\nSMOKE=ON";
    r.fadet = 2.5;
    return r;
}

inline void fillShow(orvane::ShowStore& store) {
    for (int s = 0; s < orvane::kStepCount; ++s)
        store.SaveStep(s, fullRecord(s));
}

} // namespace bench
