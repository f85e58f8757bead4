#pragma once
// The frame composer: turns step records into a DMX universe through the patch
// table and the fixed channel layout, and mixes the 24 predefined looks of manual
// mode. User-interface thread only. Neither Compose nor mergePredefined allocates
// or does any input or output.

#include "dmx/composeroptions.h"
#include "dmx/universe.h"
#include "show/steprecord.h"

#include <array>
#include <cstdint>
#include <span>

namespace orvane {

constexpr int kPredefinedCount = 24; // manual-mode entries
using PredefinedUniverses = std::array<Universe, kPredefinedCount>;

// Live colour 8 of the last composition, reported to the IP devices.
struct CurrentColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const CurrentColour&) const = default;
};

class Composer {
public:
    // The fan pulse counter starts at 0 with the program and wraps at 2^32; another
    // start value only serves tests.
    explicit Composer(uint32_t fanPulseCounter = 0) : m_fanPulse(fanPulseCounter) {}

    // Composes `live` into `dest`. Without `next` the patch entries are not computed
    // and `dest` is not cleared: only the fixed layout is written over it. `current`
    // only serves the moving-head pre-positioning, which also needs `next`.
    // `fade` runs from 0 (live values) to 255 (next step's values).
    void Compose(const StepRecord& live, Universe& dest, const StepRecord* next,
                 const StepRecord* current, int fade, const ComposerOptions& options);

    // Manual mode: composes each predefined record into its own universe (fixed
    // layout only), then mixes them by their levels into channels 1-198 of
    // `staging`: level channels take the highest scaled value, fixture channels
    // the top entry's, and each of the four washes at 43, 47, 51 and 55 the red,
    // green and blue of its leading entry (highest level x strongest channel),
    // scaled by that entry's level. Channels 199-512 of `staging` keep their
    // contents.
    void mergePredefined(std::span<const StepRecord, kPredefinedCount> records,
                         std::span<const uint8_t, kPredefinedCount> levels,
                         PredefinedUniverses& predefined, Universe& staging,
                         const ComposerOptions& options);
    // The mixing alone, over universes mergePredefined composed before from
    // the same records with the same options (composing a look gives the same
    // bytes every time): the same staging and current colour, without
    // composing the 24 looks again.
    void mixPredefined(std::span<const StepRecord, kPredefinedCount> records,
                       std::span<const uint8_t, kPredefinedCount> levels,
                       const PredefinedUniverses& predefined, Universe& staging);

    CurrentColour currentColour() const { return m_currentColour; }
    // Whether the last composition switched a fan or a pulsed lamp on and off
    // by the pulse counter: then every composition may give other bytes.
    bool pulsing() const { return m_pulsing; }

private:
    uint32_t m_fanPulse;
    bool m_pulsing = false;
    CurrentColour m_currentColour;
};

} // namespace orvane
