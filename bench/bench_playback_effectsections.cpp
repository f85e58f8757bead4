// Loading an effect file (LOAD=) whose 128 records sit after many sections it
// does not use: the cost must grow with the file's size, not with its square.

#include "benchutil.h"
#include "playback/effectplayback.h"
#include "show/showstore.h"
#include "support/tempdir.h"

#include <string>

using namespace orvane;

namespace {

std::string effectWithSections(int unused) {
    std::string text = "[effect]\r\nlen=128\r\n";
    for (int i = 0; i < unused; ++i)
        text += "[" + std::to_string(900000 + i) + "]\r\n";
    for (int r = 0; r < 128; ++r)
        text += "[" + std::to_string(kEffectFirstSection + r) + "]\r\nmaster=" + std::to_string(r) +
                "\r\nfadet=0.100000\r\n";
    return text;
}

double loadMs(const std::string& path) {
    auto runs = bench::sample(3, [&] {
        ProfileFiles profiles;
        ShowStore store(profiles);
        EffectPlayback playback;
        playback.load(store, path, {}, 0ms, [](const StepRecord&, bool) {});
        bench::keep(playback);
    });
    return bench::percentile(runs, 50) / 1000.0;
}

} // namespace

int main() {
    orvane::test::TempDir dir;
    for (int sections : {10000, 100000}) {
        std::string path = dir.file("big" + std::to_string(sections) + ".efe");
        orvane::test::writeFile(path, effectWithSections(sections));
        std::string name =
            "effect_load_128_records_after_" + std::to_string(sections) + "_sections";
        bench::figure(name.c_str(), loadMs(path), "ms");
    }
    return 0;
}
