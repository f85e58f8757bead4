// The recovery file of a full show (500 steps, every value set): the time the
// user-interface thread spends on each keeping (the show file's text made with
// the console's current step, sealed and handed to the writer), and the time
// the writer's thread then takes to put it on the disk.

#include "benchshow.h"
#include "benchutil.h"
#include "playback/showrecovery.h"
#include "support/mainwindowstandin.h"

#include <atomic>
#include <thread>

using namespace orvane;

int main() {
    orvane::test::MainWindowStandIn main;
    for (int s = 0; s < kStepCount; ++s)
        main.store(s, bench::fullRecord(s));
    main.goTo(250);
    std::atomic<int> written{0};
    RecoveryHooks hooks;
    hooks.post = [&](std::function<void()>) { ++written; };
    ShowRecovery recovery(main.session, hooks);
    recovery.settle();

    const int runs = 200;
    std::vector<double> ui, disk;
    for (int i = 0; i < runs; ++i) {
        main.controls.setPos(console::kFaders[i % 24], i % 256);
        int before = written;
        double t0 = bench::nowMicros();
        ui.push_back(bench::timeMicros([&] { recovery.tick(); }));
        while (written == before)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        disk.push_back(bench::nowMicros() - t0);
    }
    recovery.finish();
    bench::figure("recovery_keep_ui_thread_p50", bench::percentile(ui, 50) / 1000.0, "ms");
    bench::figure("recovery_keep_ui_thread_p99", bench::percentile(ui, 99) / 1000.0, "ms");
    bench::figure("recovery_write_on_disk_p50", bench::percentile(disk, 50) / 1000.0, "ms");
    bench::figure("recovery_write_on_disk_p99", bench::percentile(disk, 99) / 1000.0, "ms");
    return 0;
}
