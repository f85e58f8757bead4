#include "playback/fadefeedback.h"

#include "console/console.h"
#include "console/controlids.h"
#include "show/language.h"
#include "show/textutil.h"

#include <algorithm>

namespace orvane {

int stepAfterFade(const ControlModel& main) {
    const int step = main.checked(console::kGoto) ? main.textInt(console::kGotoStep)
                                                  : main.textInt(console::kStepNumber) + 1;
    return step >= 0 && step < kStepCount ? step : -1;
}

std::string stepCaption(ShowStore& store, int step) {
    if (step < 0 || step >= kStepCount)
        return {};
    std::string shown =
        storedToConsole(store.ReadStoreString(std::to_string(step), "name", "", 1024, ""));
    std::string line;
    line.reserve(shown.size());
    for (char c : shown) {
        if (c == '\r')
            continue;
        line += c == '\n' ? ' ' : c;
    }
    return line;
}

std::string fadeStatusText(const FadeStatus& status) {
    if (!status.fading)
        return {};
    if (status.target < 0)
        return translate("Fade", "fading to the end of the show");
    std::string step = std::to_string(status.target);
    if (status.caption.empty())
        return fillIn(translate("Fade", "fading to %1"), {step});
    return fillIn(translate("Fade", "fading to %1 %2"), {step, status.caption});
}

FadeFeedback::FadeFeedback(const ControlModel& main, ShowStore& store)
    : m_main(main), m_store(store) {}

FadeStatus FadeFeedback::status() {
    FadeStatus s;
    s.fading = m_main.checked(console::kFadeIn);
    if (!s.fading)
        return s;
    s.target = stepAfterFade(m_main);
    s.percent = std::clamp(m_main.pos(console::kFadeProgress), 0, 100);
    const uint64_t generation = s.target >= 0 ? m_store.table().generation(s.target) : 0;
    if (!m_worded || s.target != m_captionStep || generation != m_captionGeneration) {
        m_worded = true;
        m_captionStep = s.target;
        m_captionGeneration = generation;
        m_caption = stepCaption(m_store, s.target);
        s.caption = m_caption;
        // Worded once per target, not on every tick of the fade.
        m_text = fadeStatusText(s);
    }
    s.caption = m_caption;
    s.text = m_text;
    return s;
}

void FadeFeedback::pressIgnored() {
    ++m_ignored;
    for (const auto& listener : m_listeners)
        listener();
}

void FadeFeedback::onPressIgnored(std::function<void()> listener) {
    m_listeners.push_back(std::move(listener));
}

} // namespace orvane
