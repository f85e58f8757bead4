#pragma once
// A sound console on a bare control model, with its sound folder in a temp
// dir and SDL's dummy or disk audio driver.

#include "console/consoletable.h"
#include "console/controlmodel.h"
#include "sound/soundconsole.h"
#include "support/tempdir.h"
#include "wavmaker.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

namespace orvane::test {

enum class Driver { Dummy, Disk, DiskFlatOut, Missing };

class SoundRig {
public:
    explicit SoundRig(Driver driver = Driver::Dummy, DecodeOptions decoding = {}) {
        const char* name = driver == Driver::Dummy     ? "dummy"
                           : driver == Driver::Missing ? "no-such-driver"
                                                       : "disk";
        setenv("SDL_AUDIODRIVER", name, 1);
        setenv("SDL_DISKAUDIOFILE", dir.file("device.raw").c_str(), 1);
        if (driver == Driver::DiskFlatOut)
            setenv("SDL_DISKAUDIODELAY", "0", 1);
        else
            unsetenv("SDL_DISKAUDIODELAY");
        populateConsole(controls);
        SoundConsoleOptions o;
        o.folder = dir.path();
        o.stopRecording = [this] { ++recordingStops; };
        o.hotkeysChanged = [this](const std::vector<SoundHotkey>& k) { hotkeys = k; };
        o.logLine = [this](const std::string& line) { log.push_back(line); };
        o.soundsArrived = [this] { ++arrivals; };
        o.decoding = std::move(decoding);
        sound = std::make_unique<SoundConsole>(controls, list, std::move(o));
        sound->bind();
    }

    void addWav(const std::string& name, const std::vector<uint8_t>& file) {
        writeFile(dir.file(name), asText(file));
    }

    // Starts the bank's reading (through "Reload" when asked) and takes what
    // arrives until the whole folder is read. False on timeout.
    bool loadBank(bool byReload = false) {
        byReload ? controls.click(1349) : sound->loadBank();
        return waitFor([this] {
            sound->takeArrivals();
            return !sound->loading();
        });
    }

    // Selects the list entry that starts with text and presses Play.
    void play(const std::string& text) {
        for (int i = 0; i < list.count(); ++i)
            if (list.item(i).text.rfind(text, 0) == 0)
                list.select(i);
        controls.click(1004);
    }

    template <typename Pred> bool waitFor(Pred pred, int timeoutMs = 5000) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!pred()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // The bytes the disk driver wrote, once every device is closed.
    std::string deviceBytes() {
        sound->output().closeUnused();
        return readFile(dir.file("device.raw"));
    }

    TempDir dir;
    ControlModel controls;
    ListModel list;
    int recordingStops = 0;
    std::vector<SoundHotkey> hotkeys;
    std::vector<std::string> log;
    std::atomic<int> arrivals{0}; // calls of soundsArrived, on the loader's thread
    std::unique_ptr<SoundConsole> sound;
};

} // namespace orvane::test
