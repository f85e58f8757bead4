#include "playback/effectplayback.h"

#include "playback/fadeblend.h"
#include "show/showstore.h"

#include <algorithm>

namespace orvane {

void EffectPlayback::load(ShowStore& store, const std::string& path, EffectOptions options,
                          Milliseconds now, const Display& display) {
    m_running = false;
    if (isShowFilePath(store, path))
        return;
    m_options = options;
    // One look at the file for all of its records.
    store.profiles().beginBatch();
    int len = int(std::min<uint32_t>(effectLength(store, path), kEffectMaxRecords));

    StepRecord first;
    store.LoadStep(kEffectFirstSection, first, path, &m_duration);
    display(first, !m_options.dontWriteMaster);

    m_records.assign(size_t(len), StepRecord{});
    m_durations.assign(size_t(len), 0);
    for (int i = 0; i < len; ++i)
        store.LoadStep(kEffectFirstSection + i, m_records[i], path, &m_durations[i]);
    store.profiles().endBatch();

    m_position = 1;
    m_start = now;
    m_fileName = path;
    // Without records there is nothing to advance to.
    m_running = len > 0;
}

void EffectPlayback::tick(Milliseconds now, const Display& display) {
    if (!m_running)
        return;
    if (m_options.fade && m_duration > 0 && m_position < count())
        blend(now, display);
    if (now - m_start >= Milliseconds{m_duration})
        advance(now, display);
}

void EffectPlayback::blend(Milliseconds now, const Display& display) const {
    const StepRecord& from = m_records[size_t(m_position - 1)];
    if (from.faderude)
        return;
    int64_t t = (now - m_start).count() * 256 / int64_t(m_duration);
    StepRecord blended = from;
    blendToward(blended, m_records[size_t(m_position)], int(std::clamp<int64_t>(t, 0, 256)));
    display(blended, !m_options.dontWriteMaster);
}

void EffectPlayback::advance(Milliseconds now, const Display& display) {
    if (m_position >= count()) {
        if (!m_options.loop) {
            m_running = false;
            return;
        }
        m_position = 0;
    }
    display(m_records[size_t(m_position)], !m_options.dontWriteMaster);
    m_duration = m_durations[size_t(m_position)];
    ++m_position;
    m_start = now;
}

} // namespace orvane
