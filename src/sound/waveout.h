#pragma once
// The wave output: one SDL audio device per playing sound, opened in the
// sound's decoded format (16-bit or float samples, the file's rate and channels). The device is fed
// straight from the sound's data with a software left/right volume; its position is the number of
// bytes of that data handed to the device since the last queue.
//
// Closing an SDL device takes a few buffer periods, so a stopped device stays
// open and silent for a few seconds: a next sound in the same format (the
// usual case: a step stops one sound and starts the next) starts on it at once.
//
// Threads: every member is for the user-interface thread and returns at once.
// Opening and closing devices happen on a worker thread of this object; the
// device callback reads only atomics and the immutable sound data, never
// allocates and never waits for the user-interface thread.

#include "core/clock.h"
#include "sound/soundbank.h"
#include "sound/wavfile.h"

#include <cstdint>
#include <memory>

namespace orvane {

class WaveOut {
public:
    // Starts the SDL audio subsystem (SDL_AUDIODRIVER picks the driver) and the
    // worker thread.
    WaveOut();
    // Closes every device and ends the worker.
    ~WaveOut();
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    // Opens a device for the format (closing the one before) and queues
    // length bytes from dataStart of data, played once. A device that cannot
    // be opened shows as failed() a little later; nothing plays then.
    void open(SoundData data, uint32_t dataStart, uint32_t length, const SampleFormat& format);
    // Reset and queue: drops what was queued and plays length bytes from offset
    // (relative to dataStart) once; the position starts again from 0.
    void queue(uint32_t offset, uint32_t length);
    // Paused, the device plays silence and the position stays.
    void pause(bool on);
    // Silences the device at once and forgets it.
    void close();

    bool isOpen() const { return m_open; }
    bool failed() const;
    // Bytes handed to the device since the last open or queue.
    uint32_t position() const;

    // The volume of every device, left in the low and right in the high 16 bits
    // (0xFFFF full). Kept across devices, like the platform's device volume.
    void setVolume(uint32_t volume);
    uint32_t volume() const { return m_volume; }

    // The monotonic time when the open device was first handed data of the
    // sound opened last, 0 until then (for the latency figure).
    Nanoseconds firstData() const;

    // Closes the devices that no sound uses now and waits until they are
    // closed (tests read the disk driver's file afterwards).
    void closeUnused();

    struct Device;
    class Worker;

private:
    void publish(const uint8_t* samples, uint32_t offset, uint32_t length);
    void hold(SoundData data);

    std::shared_ptr<Device> m_device; // the device in use, or the last one
    std::unique_ptr<Worker> m_worker;
    const uint8_t* m_samples = nullptr;
    uint32_t m_volume = 0xFFFFFFFFu;
    bool m_open = false;
    bool m_sdlStarted = false;
};

} // namespace orvane
