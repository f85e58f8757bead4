#pragma once
// Playback of an effect file ("*.EFE") loaded by LOAD= / LOADLOOP=: the file's
// records shown one after the other on the console in effect mode, each for its
// own duration, optionally blended toward the next one. The main timer advances
// it with the current time. User-interface thread only.

#include "core/clock.h"
#include "show/effectfile.h"
#include "show/steprecord.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

constexpr int kEffectMaxRecords = 128;

struct EffectOptions {
    bool loop = false;            // LOADLOOP=
    bool fade = false;            // "FADE,": blend toward the next record
    bool dontWriteMaster = false; // "DWM,": leave the master fader alone
};

class EffectPlayback {
public:
    // Puts a record on the console in effect mode; writeMaster false leaves the
    // master fader as it is.
    using Display = std::function<void(const StepRecord& record, bool writeMaster)>;

    // Reads the effect file at `path` (section "effect", key "len", at most 128
    // records from section 123456 on, each with its "fadet" in ms), shows its
    // first record and starts at `now`. A file of no records shows that first
    // record (defaults when absent) and does not start. The show file is never
    // read as an effect: nothing happens.
    void load(ShowStore& store, const std::string& path, EffectOptions options, Milliseconds now,
              const Display& display);
    void stop() { m_running = false; }

    // One main-timer tick: the blend while the current record lasts (fade
    // option), then the next record, the loop or the end.
    void tick(Milliseconds now, const Display& display);

    bool running() const { return m_running; }
    const EffectOptions& options() const { return m_options; }
    const std::string& fileName() const { return m_fileName; }
    int count() const { return int(m_records.size()); }
    int position() const { return m_position; }

private:
    void blend(Milliseconds now, const Display& display) const;
    void advance(Milliseconds now, const Display& display);

    bool m_running = false;
    EffectOptions m_options;
    std::vector<StepRecord> m_records;
    std::vector<uint32_t> m_durations; // ms
    int m_position = 0;                // index of the next record
    Milliseconds m_start{0};
    uint32_t m_duration = 0; // of the record shown
    std::string m_fileName;
};

} // namespace orvane
