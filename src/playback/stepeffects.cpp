#include "playback/stepeffects.h"

#include "console/console.h"

namespace orvane {

StepEffects::StepEffects(Console& console, ControlModel& controls, uint32_t randomSeed)
    : m_console(console), m_controls(controls), m_random(randomSeed) {}

void StepEffects::reset() {
    m_effect.stop();
    m_soundActive.clear();
    m_random.clear();
    m_matrix.reset();
}

void StepEffects::displayEffectRecord(const StepRecord& record, bool writeMaster) {
    m_console.display(record, DisplayMode::Effect, writeMaster);
}

void StepEffects::tickEffect(Milliseconds now) {
    m_effect.tick(now, [this](const StepRecord& r, bool writeMaster) {
        displayEffectRecord(r, writeMaster);
    });
}

void StepEffects::tickSoundActive(int left, int right) {
    m_soundActive.tick(m_controls, left, right);
}

void StepEffects::tickMatrix(const MatrixEffect::Painted& painted) {
    m_matrix.tick(m_console.lamps(), painted);
}

void StepEffects::tickRandom() {
    m_random.tick(m_controls);
}

} // namespace orvane
