#include "panels/steppreviews.h"

#include <charconv>

namespace orvane {

StepPreviews::StepPreviews(ShowStore& store, const ComposerOptions* options)
    : m_store(store), m_options(options), m_slots(size_t(kStepCount)) {
    if (m_options)
        m_composedWith = *m_options;
}

const StepPreview& StepPreviews::get(int step) {
    static const StepPreview kNone;
    if (step < 0 || step >= kStepCount)
        return kNone;
    if (m_options && !(*m_options == m_composedWith)) {
        m_composedWith = *m_options;
        for (Slot& s : m_slots)
            s.valid = false;
    }
    Slot& slot = m_slots[size_t(step)];
    const ShowTable& table = m_store.table();
    if (!slot.valid || slot.generation != table.generation(step) ||
        slot.sharedGeneration != table.generation(0))
        load(step, slot);
    return slot.preview;
}

void StepPreviews::load(int step, Slot& slot) {
    const ShowTable& table = m_store.table();
    slot.generation = table.generation(step);
    slot.sharedGeneration = table.generation(0);
    slot.valid = true;

    StepRecord r;
    m_store.LoadStep(step, r);
    StepPreview& p = slot.preview;
    p.hasData = !table.entries(step).empty();
    p.name.clear();
    // Stored line breaks are the two characters backslash and n.
    for (size_t i = 0; i < r.name.size(); ++i) {
        if (r.name[i] == '\\' && i + 1 < r.name.size() && r.name[i + 1] == 'n') {
            p.name += '\n';
            ++i;
        } else if (r.name[i] != '\r') {
            p.name += r.name[i];
        }
    }
    p.soundName = r.soundnameatbegin;
    p.playAtBegin = r.playatbegin != 0;
    p.autoFade = r.autofade != 0;
    p.fadeSeconds = r.fadet;
    p.frame.fill(0);
    m_composer.Compose(r, p.frame, nullptr, nullptr, 0, m_composedWith);
    p.stamp = ++m_loads;
}

std::string fadeTimeText(double seconds) {
    // Room for the widest finite double written out in full.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed, 2);
    return std::string(buf, r.ptr) + " sec";
}

} // namespace orvane
