// The effect loader (LOAD=, LOADLOOP=) and its playback over a few ticks.

#include "fuzzsupport.h"
#include "playback/effectplayback.h"
#include "show/showstore.h"

#include <cstdint>

using namespace orvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string path = fuzz::scratch() + "/fuzz.efe";
    fuzz::writeScratch(path, std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    ProfileFiles profiles;
    ShowStore store(profiles);
    store.setShowFilePath(fuzz::scratch() + "/dmx.ini");
    EffectOptions options;
    options.loop = data[0] & 1;
    options.fade = data[0] & 2;
    options.dontWriteMaster = data[0] & 4;
    EffectPlayback playback;
    int shown = 0;
    auto display = [&](const StepRecord& r, bool) {
        fuzz::require(r.master >= 0 && r.master <= 255, "levels stay in range");
        ++shown;
    };
    playback.load(store, path, options, 0, display);
    fuzz::require(playback.count() <= kEffectMaxRecords, "at most 128 records");
    for (int64_t now = 0; now < 50 * 20; now += 20)
        playback.tick(now * (data[0] >> 3), display);
    return 0;
}
