#pragma once
// The sound controls of the main window: the sound bank and its list, Play,
// Pause, Stop, the position slider, the time text and level meters, the
// volume sliders with their "locked" couplings, and what the main timer and
// step activation ask of the sound. One sound plays at a time.
// User-interface thread only.

#include "console/controlids.h"
#include "console/controlmodel.h"
#include "show/steprecord.h"
#include "sound/samples.h"
#include "sound/soundbank.h"
#include "sound/soundloader.h"
#include "sound/waveout.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct SoundConsoleOptions {
    std::string folder; // the show's sound folder (step0)
    // "Stop" ends a DMX recording, whether a sound plays or not.
    std::function<void()> stopRecording;
    // True while the operator holds the left mouse button (may be dragging the
    // position slider, which the tick then leaves alone).
    std::function<bool()> leftButtonDown;
    // Makes the step-info label show at once while the bank loads.
    std::function<void()> repaintNow;
    // Told the sound hot keys whenever the list is rebuilt.
    std::function<void(const std::vector<SoundHotkey>&)> hotkeysChanged;
    // A line for the operator's log: a sound file left out, with its path and why.
    std::function<void(const std::string& line)> logLine;
    // Called on the loader's thread when sounds or refusals wait: the owner
    // has takeArrivals() called on the user-interface thread soon after.
    std::function<void()> soundsArrived;
    // How each file is decoded (the bound; tests hand in a decoder of their own).
    DecodeOptions decoding;
};

// What one tick of the main timer learns from the sound.
struct SoundTick {
    // The last loop of the sound ended and "When sound end, goto next step" is
    // checked: the caller writes current step + 1 into the step-number field.
    bool advance = false;
    // While a sound device is open: (left + right) x 255 / 30000 of the level
    // meters, for the SOUNDACTIVE= faders.
    std::optional<int> soundLevel;
};

class SoundConsole {
public:
    SoundConsole(ControlModel& controls, ListModel& list, SoundConsoleOptions options);
    ~SoundConsole();

    // Registers the handlers of Play, Stop, Pause, Reload, the list's
    // double-click and the position slider's release, and the couplings of the
    // "locked" volume pairs.
    void bind();

    // Start-up and "Reload": frees the bank and empties the list, then has the
    // sound folder read off this thread; nothing waits for it. The list fills
    // as the sounds arrive, label 1002 naming the file being read.
    void loadBank();
    // What the loader has queued: each sound takes the next slot and list
    // entry (with its hot key), each refusal a log line, the end clears 1002.
    void takeArrivals();
    // The bank is still being read.
    bool loading() const { return m_loading; }
    // A step asked for a sound the bank does not hold yet while it is read:
    // it plays once it arrives, unless Stop (or the next step) came first.
    // False when the bank is complete (the sound will not come).
    bool playWhenLoaded(const std::string& name);
    // Refills list 1003 and reports the sound hot keys.
    void buildList();
    const std::vector<SoundHotkey>& hotkeys() const { return m_hotkeys; }
    const SoundBank& bank() const { return m_bank; }

    void play(); // the selected sound from its start
    void stop(); // also ends a DMX recording
    void seek(); // continue from the position slider
    void doubleClick();

    // Holds or resumes the playing sound where it is (step activation's pause
    // toggle, which keeps the Pause box itself). Nothing without a device.
    void setPaused(bool paused);

    // Main timer, every tick: position, meters, buttons, time text, end of sound.
    SoundTick tick();
    // Main timer, outside manual mode: the volume from the four sliders.
    void updateVolumes();
    // Main timer, while the fade slider is away from 0 without a rude fade:
    // during "Fade in", the volume moves toward the next step's.
    void crossFadeVolume(const StepRecord& next);
    // Start-up: the step-sound sliders and volume bars from the device volume.
    void applyStartupVolume();
    // Shutdown: the loader stopped, meters to 0, the device closed, the bank
    // freed (in that order).
    void shutdown();

    bool deviceOpen() const { return m_out.isOpen(); }
    // The playing position in bytes of the sound's data.
    uint32_t playingPosition() const;
    WaveOut& output() { return m_out; }

private:
    struct Playing {
        SoundData data; // the bank may be reloaded while it plays
        uint32_t dataStart = 0;
        uint32_t dataBytes = 0;
        SampleFormat format;
        uint32_t length = 0;
        uint32_t base = 0;
        uint32_t playCount = 1;
        uint32_t loops = 1;
    };

    void pauseClicked();
    void forgetFailedDevice();
    void coupleLocked(int id);
    void setMeters(int left, int right);
    void setPlayButtons(bool playing);
    MeterLevels showMeters(uint32_t position);
    std::string timeText(uint32_t position) const;
    bool endOfSound(uint32_t position);
    std::pair<int, int> sliderVolumes() const;
    void sendVolume(int left, int right);

    ControlModel& m_controls;
    ListModel& m_list;
    SoundConsoleOptions m_options;
    void arrived(Sound&& sound);

    SoundBank m_bank;
    SoundLoader m_loader;
    bool m_loading = false;
    std::optional<std::string> m_pendingPlay;
    WaveOut m_out;
    Playing m_playing;
    std::vector<SoundHotkey> m_hotkeys;
    int m_lastLeft = -1;
    int m_lastRight = -1;
};

} // namespace orvane
