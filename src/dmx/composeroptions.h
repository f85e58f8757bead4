#pragma once
// The console switches the frame composer reads. A plain value: the console keeps
// one up to date and passes it to every composition. User-interface thread only.

namespace orvane {

struct ComposerOptions {
    bool disableFans = false;       // "Disable fans" (1296): pulsed fans and fan levels
    bool disableSmokes = false;     // "Disable smokes" (1293)
    bool disablePerfumes = false;   // "Disable perfumes" (1294): both fog/perfume channels
    bool manuShutter1 = false;      // "Manu Shutter #1" (1012): SHU1 follows shutter1
    bool shutter1 = false;          // "Shutter #1" (1013)
    bool manuShutter2 = false;      // "Manu Shutter #2" (1014): SHU2 follows shutter2
    bool shutter2 = false;          // "Shutter #2" (1015)
    bool mh1 = false;               // "MH1" (1044): channel 423
    bool disableAntiCrazy = false;  // "Disable anti crazy moving heads" (1288)
    bool disableFalseBlack = false; // "Disable anti moving heads false black" (1291)

    bool operator==(const ComposerOptions&) const = default;
};

} // namespace orvane
