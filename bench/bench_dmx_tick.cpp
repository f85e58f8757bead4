// Output tick timing, measured side by side in one 30 s run:
// - the tick period of the real output thread (DmxOutput on a pty line) and of
//   a bare clock_nanosleep loop with the same scheduling, in parallel;
// - the frame period seen on the pty master (one frame every 60 ms);
// - the work inside one tick, from wake-up to the end of the tick: during the
//   first half plain output, during the second half with a replay and a
//   recording running as well (the most a tick ever does);
// - afterwards, for 6 s, the tick's own work on a line that makes no syscalls,
//   to tell the tick's code from the kernel's pty and file paths.

#include "benchdmx.h"
#include "dmx/dmxoutput.h"
#include "dmx/serialline.h"
#include "support/nullline.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvane;

namespace {

using bench::FrameReader;
using bench::maxOf;
using bench::periodDeviationsMs;

constexpr Milliseconds kRun{30000};
constexpr int kTicks = int(kRun / kTickPeriod);

struct TickSamples : bench::TickSamples {
    TickSamples() : bench::TickSamples(kTicks + 100) {}
};

struct BareLoop {
    std::vector<Nanoseconds> woke = std::vector<Nanoseconds>(kTicks);
    bool realtime = false;

    void run() {
        realtime = tryRealtime(20);
        Nanoseconds deadline = monotonicNow();
        for (int i = 0; i < kTicks; ++i) {
            deadline += kTickPeriod;
            timespec ts{time_t(deadline.count() / 1000000000), long(deadline.count() % 1000000000)};
            while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
            }
            woke[i] = monotonicNow();
        }
    }
};

// Work per tick in microseconds on a line without syscalls.
std::vector<double> ownWork() {
    TickSamples samples;
    test::NullLine line;
    DmxOutputOptions options;
    options.trace = &samples;
    DmxOutput output(line, options);
    output.start();
    std::this_thread::sleep_for(std::chrono::milliseconds(6000));
    output.stopTick();
    std::vector<double> work;
    for (int i = 0; i < samples.count.load(std::memory_order_acquire); ++i)
        work.push_back(bench::toUsDouble(samples.done[i] - samples.woke[i]));
    return work;
}

void writeReplayFile(const std::string& path, int records) {
    DmxRecordWriter writer;
    writer.adopt(openForRecording(path));
    Universe u{};
    for (int i = 0; i < records; ++i) {
        u.fill(uint8_t(i));
        writer.write(u);
    }
}

} // namespace

int main() {
    unsetenv("ORVANE_DMX_PORT");
    test::PtyPair pty;
    test::TempDir dir;
    if (!pty.ok())
        return 1;
    // Enough records for the replay to run through the whole measurement.
    writeReplayFile(dir.file("replay.bin"), kTicks / 2 * kReplayRecordsPerTick + 300);

    TickSamples samples;
    SerialLine line(nullptr);
    DmxOutputOptions options;
    options.dmxPortSetting = [&] { return pty.slavePath(); };
    options.trace = &samples;
    DmxOutput output(line, options);

    FrameReader reader;
    std::thread readerThread([&] { reader.run(pty.master(), kTicks); });
    if (output.start() != 0)
        return 1;

    // The window's 20 ms playback timer publishing compositions.
    std::atomic<bool> stopWindow{false};
    std::thread window([&] {
        Universe u{};
        for (uint8_t k = 0; !stopWindow.load(); ++k) {
            u.fill(k);
            output.publish(u);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });

    BareLoop bare;
    std::thread bareThread([&] { bare.run(); });
    std::this_thread::sleep_for(kRun / 2);
    Nanoseconds loadedFrom = monotonicNow() + 2 * kTickPeriod;
    output.startReplay(dir.file("replay.bin"));
    output.startRecording(dir.file(kRecordingFileName));
    bareThread.join(); // the rest of the 30 s run

    output.stopTick();
    stopWindow = true;
    window.join();
    line.close();
    reader.stop = true;
    readerThread.join();

    int n = samples.count.load(std::memory_order_acquire);
    std::vector<double> tickDev = periodDeviationsMs(samples.woke, n, kTickPeriod);
    std::vector<double> bareDev = periodDeviationsMs(bare.woke, kTicks, kTickPeriod);
    std::vector<double> frameDev =
        periodDeviationsMs(reader.completed, int(reader.completed.size()), 2 * kTickPeriod);
    std::vector<double> late, work, loadedWork;
    for (int i = 0; i < n; ++i) {
        late.push_back(bench::toMsDouble(samples.woke[i] - samples.deadline[i]));
        double us = bench::toUsDouble(samples.done[i] - samples.woke[i]);
        (samples.woke[i] < loadedFrom ? work : loadedWork).push_back(us);
    }

    double tickP99 = bench::percentile(tickDev, 99);
    double bareP99 = bench::percentile(bareDev, 99);
    bench::figure("dmx_tick_realtime", output.tickRealtime() ? 1 : 0, "flag");
    bench::figure("dmx_tick_count", n, "ticks");
    bench::figure("dmx_tick_period_dev_p99", tickP99, "ms");
    bench::figure("dmx_tick_period_dev_max", maxOf(tickDev), "ms");
    bench::figure("dmx_tick_wake_late_p99", bench::percentile(late, 99), "ms");
    bench::figure("dmx_bare_loop_realtime", bare.realtime ? 1 : 0, "flag");
    bench::figure("dmx_bare_loop_period_dev_p99", bareP99, "ms");
    bench::figure("dmx_bare_loop_period_dev_max", maxOf(bareDev), "ms");
    bench::figure("dmx_tick_vs_bare_p99_ratio", bareP99 > 0 ? tickP99 / bareP99 : 0, "x");
    bench::figure("dmx_frame_count", double(reader.completed.size()), "frames");
    bench::figure("dmx_frame_bad_start_codes", double(reader.badStartCodes), "frames");
    bench::figure("dmx_frame_period_dev_p99", bench::percentile(frameDev, 99), "ms");
    bench::figure("dmx_frame_period_dev_max", maxOf(frameDev), "ms");
    bench::figure("dmx_tick_work_p50", bench::percentile(work, 50), "us");
    bench::figure("dmx_tick_work_p99", bench::percentile(work, 99), "us");
    bench::figure("dmx_tick_work_max", maxOf(work), "us");
    bench::figure("dmx_tick_work_replay_record_p50", bench::percentile(loadedWork, 50), "us");
    bench::figure("dmx_tick_work_replay_record_p99", bench::percentile(loadedWork, 99), "us");
    bench::figure("dmx_tick_work_replay_record_max", maxOf(loadedWork), "us");
    std::vector<double> own = ownWork();
    bench::figure("dmx_tick_work_without_syscalls_p50", bench::percentile(own, 50), "us");
    bench::figure("dmx_tick_work_without_syscalls_p99", bench::percentile(own, 99), "us");
    return 0;
}
