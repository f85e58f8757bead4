#pragma once
// What a step's extra commands leave running between two activations: the
// effect playback, the matrix picture, the random and the sound-active faders.
// Activation resets it; the main timer advances it, one call per tick and per
// kind of work, each with what it needs. User-interface thread only.

#include "core/clock.h"
#include "playback/effectplayback.h"
#include "playback/faderanimation.h"
#include "playback/matrixpicture.h"

#include <cstdint>

namespace orvane {

class Console;
class ControlModel;

class StepEffects {
public:
    StepEffects(Console& console, ControlModel& controls, uint32_t randomSeed);

    // Activation's reset: the effect stops, the random and sound-active lists
    // empty, no matrix picture and its offsets and speeds 0. The random bounds
    // stay.
    void reset();

    // Main timer, in its order: the effect playback (blend and advance); the
    // sound-active faders with the two level meters (0..30000 each), only while a
    // sound device is open; the matrix picture onto the room lamps; the random
    // faders.
    void tickEffect(Milliseconds now);
    void tickSoundActive(int left, int right);
    void tickMatrix(const MatrixEffect::Painted& painted = {});
    void tickRandom();

    // Something here changes the console on the main timer's ticks: a running
    // effect, a matrix picture, random or sound-active faders.
    bool moving() const {
        return m_effect.running() || m_matrix.hasPicture() || m_random.list().count() > 0 ||
               m_soundActive.list().count() > 0;
    }

    // A record put on the console by the effect playback (effect mode).
    void displayEffectRecord(const StepRecord& record, bool writeMaster);

    EffectPlayback& effect() { return m_effect; }
    MatrixEffect& matrix() { return m_matrix; }
    RandomFaders& random() { return m_random; }
    SoundActiveFaders& soundActive() { return m_soundActive; }
    const EffectPlayback& effect() const { return m_effect; }
    const MatrixEffect& matrix() const { return m_matrix; }
    const RandomFaders& random() const { return m_random; }
    const SoundActiveFaders& soundActive() const { return m_soundActive; }

private:
    Console& m_console;
    ControlModel& m_controls;
    EffectPlayback m_effect;
    MatrixEffect m_matrix;
    RandomFaders m_random;
    SoundActiveFaders m_soundActive;
};

} // namespace orvane
