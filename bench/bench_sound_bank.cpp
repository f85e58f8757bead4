// Sound bank figure: loading a show's sound folder of 50 files of 10 s of
// 44.1 kHz 16-bit stereo (88 MB) into memory, the files in the page cache.

#include "benchutil.h"
#include "show/textutil.h"
#include "sound/soundbank.h"
#include "sound/wavmaker.h"
#include "support/tempdir.h"

#include <cstdio>

using namespace orvane;

int main() {
    test::TempDir dir;
    test::WavParams params;
    std::string file = test::asText(test::makeWavMs(params, 10000));
    for (int i = 0; i < 50; ++i)
        test::writeFile(dir.file(format("sound %02d.wav", i)), file);

    SoundBank bank;
    int loaded = 0;
    auto runs = bench::sample(7, [&] { loaded = bank.load(dir.path()); });
    if (loaded != 50) {
        std::fprintf(stderr, "bench_sound_bank: %d of 50 sounds loaded\n", loaded);
        return 1;
    }
    bench::figure("sound_bank_load_50x10s_p50", bench::percentile(runs, 50) / 1000.0, "ms");
    bench::figure("sound_bank_load_50x10s_max", bench::percentile(runs, 100) / 1000.0, "ms");
    return 0;
}
