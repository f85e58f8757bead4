#pragma once
// What the timeline shows of each step, kept per step and taken again from the
// show store only when the step changed there since: its name, sound, fade time
// and the frame the composer makes of it alone (no neighbour step, no fade).
// The show table's generation numbers tell a changed step, so every write path
// of the store invalidates the steps it touches and nothing else.
// User-interface thread only.

#include "dmx/composer.h"
#include "dmx/universe.h"
#include "show/showstore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

struct StepPreview {
    bool hasData = false;  // the step has entries in the show table
    std::string name;      // line breaks as LF
    std::string soundName; // "soundnameatbegin"
    bool playAtBegin = false;
    bool autoFade = false;
    double fadeSeconds = 0; // "fadet"
    Universe frame{};
    // Changes each time this step's entry is taken again from the store; a
    // picture drawn from the entry stays right while the stamp stays.
    uint64_t stamp = 0;
};

class StepPreviews {
public:
    // options, when given, are the console's switches the frames are composed
    // with (they must outlive this object); a change of them recomposes all.
    explicit StepPreviews(ShowStore& store, const ComposerOptions* options = nullptr);

    // Step `step` (0-499) as the store holds it now.
    const StepPreview& get(int step);

    // How many times a step was taken from the store (loaded and composed).
    uint64_t loads() const { return m_loads; }

private:
    struct Slot {
        StepPreview preview;
        uint64_t generation = 0;
        uint64_t sharedGeneration = 0; // section 0 holds flags every step reads
        bool valid = false;
    };
    void load(int step, Slot& slot);

    ShowStore& m_store;
    const ComposerOptions* m_options;
    ComposerOptions m_composedWith;
    Composer m_composer;
    std::vector<Slot> m_slots;
    uint64_t m_loads = 0;
};

// "%.2f sec" of a fade time, the same in every locale.
std::string fadeTimeText(double seconds);

} // namespace orvane
