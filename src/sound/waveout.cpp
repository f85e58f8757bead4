#include "sound/waveout.h"

#include "core/clock.h"
#include "show/language.h"

#include "sound/samples.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orvane {

namespace {

// How long a stopped device waits for a next sound before it is closed.
constexpr Nanoseconds kIdleClose = 5s;

} // namespace

// One SDL device in one format; the callback's user data.
struct WaveOut::Device {
    explicit Device(const SampleFormat& f) : format(f) {}
    const SampleFormat format;

    // What to play: samples from offset for length bytes. The user-interface
    // thread writes it seqlock-style (seq odd while writing); the callback takes
    // a consistent copy or keeps the one it has until its next call.
    std::atomic<uint32_t> seq{0};
    std::atomic<const uint8_t*> samples{nullptr};
    std::atomic<uint32_t> offset{0};
    std::atomic<uint32_t> length{0};

    std::atomic<uint64_t> progress{0}; // seq taken << 32 | bytes handed over since
    std::atomic<uint32_t> volume{kFullVolume};
    std::atomic<bool> paused{false};
    std::atomic<bool> failed{false};
    std::atomic<int64_t> firstDataNs{0};

    // The callback's own state.
    uint32_t taken = 0;
    const uint8_t* playing = nullptr;
    uint32_t cursor = 0, end = 0, played = 0;

    // User-interface thread: the sounds this device may still read, with the
    // seq at which each was given.
    std::vector<std::pair<uint32_t, SoundData>> held;

    // The worker's.
    SDL_AudioDeviceID id = 0;
    // Under the worker's mutex.
    bool inUse = true;
    bool closing = false;
    Nanoseconds idleSince{0};
};

namespace {

void takeRequest(WaveOut::Device& d) {
    uint32_t seq = d.seq.load(std::memory_order_acquire);
    if (seq == d.taken || (seq & 1))
        return;
    const uint8_t* samples = d.samples.load(std::memory_order_relaxed);
    uint32_t offset = d.offset.load(std::memory_order_relaxed);
    uint32_t length = d.length.load(std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (d.seq.load(std::memory_order_relaxed) != seq)
        return; // rewritten meanwhile: take it next time
    d.playing = samples;
    d.cursor = offset;
    d.end = offset + length;
    d.played = 0;
    d.taken = seq;
}

// The device callback: the queued data with the volume applied, then silence.
void fill(void* userdata, Uint8* stream, int len) {
    auto& d = *static_cast<WaveOut::Device*>(userdata);
    takeRequest(d);
    size_t n = 0;
    if (!d.paused.load(std::memory_order_relaxed) && d.playing) {
        n = std::min<size_t>(size_t(len), d.end - d.cursor);
        n -= n % d.format.blockAlign;
    }
    if (n) {
        applyVolume(d.playing + d.cursor, stream, n, d.format,
                    d.volume.load(std::memory_order_relaxed));
        d.cursor += uint32_t(n);
        d.played += uint32_t(n);
        if (d.firstDataNs.load(std::memory_order_relaxed) == 0)
            d.firstDataNs.store(monotonicNow().count(), std::memory_order_relaxed);
    }
    std::memset(stream + n, 0, size_t(len) - n);
    d.progress.store(uint64_t(d.taken) << 32 | d.played, std::memory_order_release);
}

// About 25 ms of sound per callback, a power of two as SDL prefers.
Uint16 bufferFrames(uint32_t rate) {
    Uint16 frames = 256;
    while (frames < 8192 && frames * 2u <= rate / 40)
        frames = Uint16(frames * 2);
    return frames;
}

void openDevice(WaveOut::Device& d) {
    SDL_AudioSpec want{};
    want.freq = int(d.format.sampleRate);
    want.format = d.format.type == SampleType::Int16 ? AUDIO_S16LSB : AUDIO_F32LSB;
    want.channels = Uint8(d.format.channels);
    want.samples = bufferFrames(d.format.sampleRate);
    want.callback = fill;
    want.userdata = &d;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts, so the callback always sees the file's format.
    d.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (d.id == 0) {
        std::fprintf(
            stderr, "orvane: %s\n",
            fillIn(translate("Sound", "cannot open the sound device: %1"), {SDL_GetError()})
                .c_str());
        d.failed.store(true);
        return;
    }
    SDL_PauseAudioDevice(d.id, 0);
}

} // namespace

// Opens devices, closes them when asked or when they stayed unused too long.
class WaveOut::Worker {
public:
    Worker() : m_thread([this] { run(); }) {}
    ~Worker() {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    void open(std::shared_ptr<Device> d) { post({std::move(d), true}); }
    void close(std::shared_ptr<Device> d) { post({std::move(d), false}); }

    // The device's sound stopped: it closes unless reclaimed soon.
    void release(Device& d) {
        std::lock_guard lock(m_mutex);
        d.inUse = false;
        d.idleSince = now();
        m_wake.notify_all();
    }

    // Takes a released device back for a next sound; false when it is closing.
    bool reclaim(Device& d) {
        std::lock_guard lock(m_mutex);
        if (d.closing)
            return false;
        d.inUse = true;
        return true;
    }

    void closeUnused() {
        std::unique_lock lock(m_mutex);
        uint64_t ticket = ++m_sweepsAsked;
        m_wake.notify_all();
        m_wake.wait(lock, [&] { return m_sweepsDone >= ticket; });
    }

private:
    struct Job {
        std::shared_ptr<Device> device;
        bool open;
    };

    void post(Job job) {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_all();
    }

    // Under m_mutex.
    bool closable(const Device& d, Nanoseconds now, bool sweep) const {
        return !d.closing && (m_quit || (!d.inUse && (sweep || now - d.idleSince >= kIdleClose)));
    }
    bool anyClosable(Nanoseconds now) const {
        return std::any_of(m_devices.begin(), m_devices.end(),
                           [&](const auto& d) { return closable(*d, now, false); });
    }
    std::optional<Nanoseconds> nextExpiry() const;
    static Nanoseconds now() { return systemClock().now(); }
    bool wakeUp() const {
        return m_quit || m_sweepsAsked > m_sweepsDone || !m_jobs.empty() || anyClosable(now());
    }

    void run();
    void runJobs(std::unique_lock<std::mutex>& lock);
    void closeExpired(std::unique_lock<std::mutex>& lock, bool sweep);
    void perform(const Job& job);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_quit = false;
    uint64_t m_sweepsAsked = 0;
    uint64_t m_sweepsDone = 0;
    std::vector<std::shared_ptr<Device>> m_devices; // the open devices
    std::thread m_thread;
};

void WaveOut::Worker::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (auto next = nextExpiry())
            m_wake.wait_for(lock, *next - now(), [this] { return wakeUp(); });
        else
            m_wake.wait(lock, [this] { return wakeUp(); });
        uint64_t sweep = m_sweepsAsked;
        runJobs(lock);
        closeExpired(lock, sweep > m_sweepsDone);
        m_sweepsDone = sweep;
        m_wake.notify_all();
        if (m_quit && m_jobs.empty() && m_devices.empty())
            break;
    }
}

void WaveOut::Worker::runJobs(std::unique_lock<std::mutex>& lock) {
    while (!m_jobs.empty()) {
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        perform(job);
        lock.lock();
    }
}

void WaveOut::Worker::closeExpired(std::unique_lock<std::mutex>& lock, bool sweep) {
    for (;;) {
        auto it = std::find_if(m_devices.begin(), m_devices.end(),
                               [&](const auto& d) { return closable(*d, now(), sweep); });
        if (it == m_devices.end())
            return;
        std::shared_ptr<Device> d = *it;
        d->closing = true;
        lock.unlock();
        SDL_CloseAudioDevice(d->id);
        lock.lock();
        m_devices.erase(std::find(m_devices.begin(), m_devices.end(), d));
    }
}

void WaveOut::Worker::perform(const Job& job) {
    if (job.open) {
        openDevice(*job.device);
        std::lock_guard lock(m_mutex);
        if (job.device->id)
            m_devices.push_back(job.device);
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        auto it = std::find(m_devices.begin(), m_devices.end(), job.device);
        if (it == m_devices.end() || job.device->closing)
            return;
        job.device->closing = true;
    }
    SDL_CloseAudioDevice(job.device->id);
    std::lock_guard lock(m_mutex);
    m_devices.erase(std::find(m_devices.begin(), m_devices.end(), job.device));
}

std::optional<Nanoseconds> WaveOut::Worker::nextExpiry() const {
    std::optional<Nanoseconds> next;
    for (const auto& d : m_devices)
        if (!d->inUse && !d->closing)
            next = std::min(next.value_or(Nanoseconds::max()), d->idleSince + kIdleClose);
    return next;
}

WaveOut::WaveOut() {
    m_sdlStarted = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!m_sdlStarted)
        std::fprintf(stderr, "orvane: %s\n",
                     fillIn(translate("Sound", "no sound output: %1"), {SDL_GetError()}).c_str());
    m_worker = std::make_unique<Worker>();
}

WaveOut::~WaveOut() {
    close();
    m_worker.reset();
    m_device.reset();
    if (m_sdlStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void WaveOut::open(SoundData data, uint32_t dataStart, uint32_t length,
                   const SampleFormat& format) {
    close();
    bool reuse = m_device && m_device->format == format && !m_device->failed.load() &&
                 m_worker->reclaim(*m_device);
    if (!reuse) {
        if (m_device)
            m_worker->close(m_device);
        m_device = std::make_shared<Device>(format);
        m_device->failed.store(!m_sdlStarted);
    }
    m_open = true;
    m_samples = data->data() + dataStart;
    m_device->volume.store(m_volume);
    m_device->paused.store(false);
    m_device->firstDataNs.store(0);
    hold(std::move(data));
    publish(m_samples, 0, length);
    if (!reuse && m_sdlStarted)
        m_worker->open(m_device);
}

void WaveOut::publish(const uint8_t* samples, uint32_t offset, uint32_t length) {
    Device& d = *m_device;
    uint32_t seq = d.seq.load(std::memory_order_relaxed);
    d.seq.store(seq + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    d.samples.store(samples, std::memory_order_relaxed);
    d.offset.store(offset, std::memory_order_relaxed);
    d.length.store(length, std::memory_order_relaxed);
    d.seq.store(seq + 2, std::memory_order_release);
}

// Keeps data alive for the device; drops what the callback can no longer read
// (anything given before the request it has taken).
void WaveOut::hold(SoundData data) {
    auto& held = m_device->held;
    uint32_t taken = uint32_t(m_device->progress.load(std::memory_order_acquire) >> 32);
    auto current = std::find_if(held.rbegin(), held.rend(),
                                [taken](const auto& h) { return h.first <= taken; });
    if (current != held.rend())
        held.erase(held.begin(), std::prev(current.base()));
    // The next publish gives this data at seq + 2.
    held.emplace_back(m_device->seq.load(std::memory_order_relaxed) + 2, std::move(data));
}

void WaveOut::queue(uint32_t offset, uint32_t length) {
    if (m_open)
        publish(m_samples, offset, length);
}

void WaveOut::pause(bool on) {
    if (m_open)
        m_device->paused.store(on);
}

void WaveOut::close() {
    if (!m_open)
        return;
    m_open = false;
    publish(nullptr, 0, 0);
    m_worker->release(*m_device);
}

bool WaveOut::failed() const {
    return m_open && m_device->failed.load();
}

uint32_t WaveOut::position() const {
    if (!m_open)
        return 0;
    uint64_t p = m_device->progress.load(std::memory_order_acquire);
    // Until the callback has taken the latest request, nothing of it is played.
    return uint32_t(p >> 32) == m_device->seq.load(std::memory_order_relaxed) ? uint32_t(p) : 0;
}

void WaveOut::setVolume(uint32_t volume) {
    m_volume = volume;
    if (m_device)
        m_device->volume.store(volume);
}

Nanoseconds WaveOut::firstData() const {
    return Nanoseconds{m_open ? m_device->firstDataNs.load() : 0};
}

void WaveOut::closeUnused() {
    m_worker->closeUnused();
}

} // namespace orvane
