// OLA beside the serial line, against a real olad inside a private network
// namespace (root only; skipped with a message elsewhere). One output thread,
// a pty as the serial device, the window publishing a composition every 20 ms:
// - 4 s with the serial line alone, then 4 s with the serial line and OLA,
//   four times over, so that whatever else the machine does falls on both;
// - the serial frame period on the pty master in both halves;
// - the tick's work in both halves, and the OLA sink's own share of it (the
//   hand-over on the output thread);
// - frames per second olad accepted against the serial frame rate, frames
//   dropped for a newer one, and the frames a peer client (ola_recorder)
//   received from olad.

#include "benchdmx.h"
#include "dmx/olasink.h"
#include "dmx/serialline.h"
#include "dmx/serialsink.h"
#include "support/olad.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

using namespace orvane;

namespace {

constexpr int kRounds = 4;
constexpr int kPhaseMs = 4000;
constexpr int kTicks = 2 * kRounds * kPhaseMs / kTickPeriodMs;
constexpr Nanoseconds kFramePeriod = 2 * kTickPeriod;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Measures what the wrapped sink costs the output thread, without allocating.
struct TimedSink : OutputSink {
    TimedSink(OutputSink& inner, int capacity) : inner(inner), us(std::size_t(capacity)) {}
    void beforeFrame() override { inner.beforeFrame(); }
    void endBreak() override { inner.endBreak(); }
    void lineReopened() override { inner.lineReopened(); }
    void sendFrame(std::span<const uint8_t> frame, Nanoseconds now) override {
        Nanoseconds start = monotonicNow();
        inner.sendFrame(frame, now);
        int i = count.load(std::memory_order_relaxed);
        if (i < int(us.size())) {
            us[std::size_t(i)] = bench::toUsDouble(monotonicNow() - start);
            count.store(i + 1, std::memory_order_release);
        }
    }
    OutputSink& inner;
    std::vector<double> us;
    std::atomic<int> count{0};
};

int skip(const std::string& why) {
    std::fprintf(stderr, "bench_dmx_ola: skipped: %s\n", why.c_str());
    return 0;
}

// Time windows of one kind of phase.
struct Windows {
    std::vector<std::pair<Nanoseconds, Nanoseconds>> spans;

    bool contains(Nanoseconds t) const {
        for (auto [from, to] : spans)
            if (t >= from && t < to)
                return true;
        return false;
    }
    double seconds() const {
        double s = 0;
        for (auto [from, to] : spans)
            s += std::chrono::duration<double>(to - from).count();
        return s;
    }
    // Deviations of the frame periods that lie wholly inside a window.
    std::vector<double> framePeriodDeviationsMs(const std::vector<Nanoseconds>& frames) const {
        std::vector<double> out;
        for (std::size_t i = 1; i < frames.size(); ++i)
            if (contains(frames[i - 1]) && contains(frames[i]) &&
                frames[i] - frames[i - 1] < 2 * kFramePeriod)
                out.push_back(
                    std::fabs(bench::toMsDouble(frames[i] - frames[i - 1] - kFramePeriod)));
        return out;
    }
    std::size_t framesIn(const std::vector<Nanoseconds>& frames) const {
        std::size_t n = 0;
        for (Nanoseconds t : frames)
            n += contains(t);
        return n;
    }
    std::vector<double> tickWorkUs(const bench::TickSamples& s) const {
        std::vector<double> work;
        for (int i = 0; i < s.count.load(std::memory_order_acquire); ++i)
            if (contains(s.woke[i]))
                work.push_back(bench::toUsDouble(s.done[i] - s.woke[i]));
        return work;
    }
};

} // namespace

int main() {
    if (!olaBuiltIn())
        return skip("orvane is built without OLA");
    if (std::string missing = test::missingOlaTools(); !missing.empty())
        return skip("OLA is not installed (missing " + missing + ")");
    test::NetworkNamespace ns; // before any thread: every thread below inherits it
    if (!ns.ok())
        return skip(ns.error());
    test::TempDir dir;
    test::OladProcess olad(dir.path());
    if (!olad.ok())
        return skip(olad.error());
    unsetenv("ORVANE_DMX_PORT");
    test::PtyPair pty;
    SerialLine line(nullptr);
    LineSettings settings;
    settings.device = pty.slavePath();
    if (!pty.ok() || line.open(settings) != 0)
        return skip("no pseudo-terminal");

    OutputShared shared;
    SerialSink serial(line);
    OlaSink ola;
    TimedSink timedOla(ola, kTicks);
    int serialRoute = shared.routes.add(kComposedUniverse, serial);
    int olaRoute = shared.routes.add(kComposedUniverse, timedOla);
    shared.routes.setEnabled(serialRoute, true);
    OutputTick tick(shared);
    bench::TickSamples samples(kTicks + 400);
    bench::FrameReader reader;
    std::thread readerThread([&] { reader.run(pty.master(), kTicks); });
    std::atomic<bool> stopWindow{false};
    std::thread window([&] {
        Universe u{};
        for (uint8_t k = 0; !stopWindow.load(); ++k) {
            u.fill(k);
            shared.output.publish(u);
            sleepMs(20);
        }
    });
    OutputThread thread;
    thread.start(shared, tick, &samples);

    ola.start(1);
    for (int i = 0; i < 500 && ola.state() != OlaState::Connected; ++i)
        sleepMs(10);
    test::OlaRecorder peer(dir.file("peer.txt"), 1);
    sleepMs(500); // the peer registers with olad
    SinkReading olaBefore = ola.read(monotonicNow());
    Windows serialOnly, withOla;
    for (int round = 0; round < kRounds; ++round) {
        Nanoseconds start = monotonicNow();
        sleepMs(kPhaseMs);
        Nanoseconds middle = monotonicNow();
        shared.routes.setEnabled(olaRoute, true);
        sleepMs(kPhaseMs);
        shared.routes.setEnabled(olaRoute, false);
        Nanoseconds end = monotonicNow();
        serialOnly.spans.emplace_back(start, middle);
        withOla.spans.emplace_back(middle, end);
    }
    sleepMs(300); // the last frames handed over reach olad
    SinkReading olaAfter = ola.read(monotonicNow());
    std::size_t peerFrames = peer.stop().size();

    thread.stop();
    stopWindow = true;
    window.join();
    reader.stop = true;
    readerThread.join();
    line.close();

    double serialRate = double(withOla.framesIn(reader.completed)) / withOla.seconds();
    double olaRate = double(olaAfter.frames - olaBefore.frames) / withOla.seconds();
    std::vector<double> handOver(timedOla.us.begin(), timedOla.us.begin() + timedOla.count.load());
    auto p99 = [](const std::vector<double>& v) { return bench::percentile(v, 99); };
    bench::figure("ola_handover_tick_work_p99", p99(handOver), "us");
    bench::figure("ola_handover_tick_work_max", bench::maxOf(handOver), "us");
    bench::figure("ola_tick_work_serial_only_p99", p99(serialOnly.tickWorkUs(samples)), "us");
    bench::figure("ola_tick_work_serial_and_ola_p99", p99(withOla.tickWorkUs(samples)), "us");
    bench::figure("ola_serial_frame_period_dev_p99_serial_only",
                  p99(serialOnly.framePeriodDeviationsMs(reader.completed)), "ms");
    bench::figure("ola_serial_frame_period_dev_p99_with_ola",
                  p99(withOla.framePeriodDeviationsMs(reader.completed)), "ms");
    bench::figure("ola_serial_frames_per_s", serialRate, "frames/s");
    bench::figure("ola_frames_per_s_delivered", olaRate, "frames/s");
    bench::figure("ola_delivered_vs_serial_rate", serialRate > 0 ? olaRate / serialRate : 0, "x");
    bench::figure("ola_frames_dropped", double(olaAfter.dropped - olaBefore.dropped), "frames");
    bench::figure("ola_send_errors", double(olaAfter.errors - olaBefore.errors), "errors");
    bench::figure("ola_frames_delivered", double(olaAfter.frames - olaBefore.frames), "frames");
    bench::figure("ola_frames_seen_by_peer", double(peerFrames), "frames");
    bench::figure("ola_output_thread_realtime", thread.realtime() ? 1 : 0, "flag");
    return 0;
}
