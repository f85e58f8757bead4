// Sound start figure: from "Play" to the moment the device callback hands the
// first (non-silent) sample of the sound to the device. SDL's dummy driver
// unless SDL_AUDIODRIVER names another.

#include "benchutil.h"
#include "sound/soundconsole.h"
#include "sound/wavmaker.h"
#include "support/tempdir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace orvane;

namespace {

// Play, then wait (at most 2 s) for the first data; the latency in microseconds.
// Cold: no device is open before Play (else the stopped sound's device takes it).
double playOnce(ControlModel& controls, SoundConsole& sound, bool cold) {
    if (cold)
        sound.output().closeUnused();
    Nanoseconds start = monotonicNow();
    controls.click(1004);
    while (sound.output().firstData() == 0ns && monotonicNow() - start < 2s)
        std::this_thread::sleep_for(100us);
    Nanoseconds first = sound.output().firstData();
    controls.click(1006);
    sound.tick(); // enables Play again
    return first != 0ns ? double((first - start).count()) / 1000.0 : -1.0;
}

} // namespace

int main() {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    test::TempDir dir;
    test::writeFile(dir.file("a.wav"), test::asText(test::makeWavMs(test::WavParams{}, 1000)));
    ControlModel controls;
    ListModel list;
    SoundConsoleOptions options;
    options.folder = dir.path();
    SoundConsole sound(controls, list, options);
    sound.bind();
    sound.loadBank();
    while (sound.loading()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sound.takeArrivals();
    }
    list.select(0);

    std::fprintf(stderr, "bench_sound_latency: SDL driver %s\n", std::getenv("SDL_AUDIODRIVER"));
    for (bool cold : {true, false}) {
        std::vector<double> runs;
        for (int i = 0; i < 30; ++i) {
            double us = playOnce(controls, sound, cold);
            if (us < 0) {
                std::fprintf(stderr, "bench_sound_latency: the device never took the sound\n");
                return 1;
            }
            runs.push_back(us);
        }
        std::string name =
            cold ? "sound_play_to_first_sample_cold" : "sound_play_to_first_sample_after_stop";
        bench::figure((name + "_p50").c_str(), bench::percentile(runs, 50) / 1000.0, "ms");
        bench::figure((name + "_max").c_str(), bench::percentile(runs, 100) / 1000.0, "ms");
    }
    return 0;
}
