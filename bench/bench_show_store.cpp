// Show store figures: step loads and saves against a full table, and the show
// file read and written whole.

#include "benchshow.h"
#include "benchutil.h"
#include "show/patch.h"
#include "show/showstore.h"
#include "support/tempdir.h"

using namespace orvane;

int main() {
    orvane::test::TempDir dir;
    ProfileFiles profiles;
    ShowStore store(profiles);
    std::string path = dir.file("dmx.ini");
    store.setShowFilePath(path);
    bench::fillShow(store);

    StepRecord r;
    int step = 0;
    auto load = [&] {
        store.LoadStep(step = (step + 37) % kStepCount, r);
        bench::keep(r);
    };
    // Plain work as long as a load, timed between the loads.
    bench::PlainWork plain(bench::percentile(bench::sample(500, load), 50));
    auto [loads, plains] = bench::sampleBeside(5000, load, plain);
    bench::figure("show_loadstep_p50", bench::percentile(loads, 50), "us");
    // The main timer loads the same two or three steps every tick.
    auto warm = bench::sample(5000, [&] {
        store.LoadStep(250, r);
        bench::keep(r);
    });
    bench::figure("show_loadstep_same_step_p50", bench::percentile(warm, 50), "us");
    bench::figure("show_loadstep_same_step_p99", bench::percentile(warm, 99), "us");
    bench::figure("show_loadstep_p99", bench::percentile(loads, 99), "us");
    bench::figure("show_loadstep_p99_host_floor", bench::percentile(plains, 99), "us");

    // Steps written by hand or by another program hold a few keys each: most
    // of a load's 317 reads find nothing.
    ProfileFiles sparseProfiles;
    ShowStore sparse(sparseProfiles);
    for (int s = 0; s < kStepCount; ++s)
        for (const char* key : {"master", "name", "fadet", "1", "2", "17", "color_r1", "F0C"})
            sparse.WriteStoreValue(std::to_string(s), key, "128", "");
    auto sparseLoads = bench::sample(5000, [&] {
        sparse.LoadStep(step = (step + 37) % kStepCount, r);
        bench::keep(r);
    });
    bench::figure("show_loadstep_sparse_p50", bench::percentile(sparseLoads, 50), "us");
    bench::figure("show_loadstep_sparse_p99", bench::percentile(sparseLoads, 99), "us");

    StepRecord w = bench::fullRecord(3);
    auto saves = bench::sample(5000, [&] { store.SaveStep(step = (step + 37) % kStepCount, w); });
    bench::figure("show_savestep_p50", bench::percentile(saves, 50), "us");
    bench::figure("show_savestep_p99", bench::percentile(saves, 99), "us");

    auto writes = bench::sample(5, [&] { store.WriteShowFile(path); });
    bench::figure("show_writeshowfile_500_steps", bench::percentile(writes, 50) / 1000.0, "ms");
    bench::figure("show_file_entries", double(store.table().entryCount() + 2), "lines");

    auto reads = bench::sample(5, [&] {
        ProfileFiles p;
        ShowStore fresh(p);
        fresh.LoadShowFile(path);
    });
    bench::figure("show_loadshowfile_500_steps", bench::percentile(reads, 50) / 1000.0, "ms");
    return 0;
}
