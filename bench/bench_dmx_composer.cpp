// Figures for the frame composer: a full composition with next and current steps,
// one without a next step, and the 24-entry manual-mode merge.

#include "benchutil.h"
#include "dmx/composer.h"

#include <cstdint>
#include <random>

using namespace orvane;

namespace {

// A step with every light field in use, so no branch is skipped.
StepRecord busyStep(std::mt19937& rng) {
    auto byte = [&rng] { return static_cast<uint8_t>(rng() & 0xFF); };
    StepRecord r;
    r.master = byte() | 1;
    for (int i = 0; i < kEntryCount; ++i) {
        r.lamp[i] = {static_cast<uint32_t>(rng() & 0xFFFFFF), byte(), byte(), byte(), byte()};
        r.pair[i] = {byte(), byte()};
    }
    for (auto& level : r.fader)
        level = byte();
    for (auto& colour : r.colour)
        colour = static_cast<uint32_t>(rng() & 0xFFFFFF);
    for (auto& check : r.check)
        check = static_cast<int32_t>(rng() & 1);
    for (auto& scanner : r.scanner)
        for (auto& b : scanner.channel)
            b = byte();
    for (auto& head : r.head)
        for (auto& b : head.channel)
            b = byte();
    return r;
}

void report(const char* p50, const char* p99, const std::vector<double>& us) {
    bench::figure(p50, bench::percentile(us, 50), "us");
    bench::figure(p99, bench::percentile(us, 99), "us");
}

} // namespace

int main() {
    std::mt19937 rng(2022);
    const StepRecord live = busyStep(rng), next = busyStep(rng), current = busyStep(rng);
    Composer composer;
    ComposerOptions options;
    Universe u{};
    int fade = 0;

    auto full = [&] {
        composer.Compose(live, u, &next, &current, fade, options);
        fade = (fade + 1) & 0xFF;
        bench::keep(u);
    };
    bench::sample(20000, full); // warm up
    report("compose_full_p50", "compose_full_p99", bench::sample(200000, full));

    auto fixedOnly = [&] {
        composer.Compose(live, u, nullptr, nullptr, 0, options);
        bench::keep(u);
    };
    report("compose_fixed_p50", "compose_fixed_p99", bench::sample(200000, fixedOnly));

    std::array<StepRecord, kPredefinedCount> records;
    std::array<uint8_t, kPredefinedCount> levels{};
    for (int j = 0; j < kPredefinedCount; ++j) {
        records[j] = busyStep(rng);
        levels[j] = static_cast<uint8_t>(rng() & 0xFF);
    }
    PredefinedUniverses predefined{};
    auto merge = [&] {
        composer.mergePredefined(records, levels, predefined, u, options);
        bench::keep(u);
    };
    bench::sample(2000, merge);
    report("merge24_p50", "merge24_p99", bench::sample(20000, merge));
    return 0;
}
