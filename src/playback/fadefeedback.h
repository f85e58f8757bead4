#pragma once
// What the operator is told while a fade runs: which step it leads to, with
// that step's caption, and how far it has come; and the presses that the
// rules drop while it runs (a second "Fade in" by its hot key, the mouse or
// the joystick; show time's "Next step" inside its guard), which are
// acknowledged instead of vanishing. The windows show the text and flash a
// progress bar; this class decides, from the console's controls and the show.
// User-interface thread only.

#include "console/controlmodel.h"
#include "show/showstore.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

struct FadeStatus {
    bool fading = false;
    int target = -1;     // the step the fade ends on; -1 when the show ends there
    std::string caption; // that step's caption, on one line
    int percent = 0;     // 0-100
    std::string text;    // fadeStatusText of the above, kept while target and caption stay

    bool operator==(const FadeStatus&) const = default;
};

// The step a fade that ends now goes to: the "after fade goto" step when it
// is ticked, else the next one; -1 when that is past the last step.
int stepAfterFade(const ControlModel& main);
// A step's caption from the show, its lines joined by blanks; empty for none.
std::string stepCaption(ShowStore& store, int step);
// "fading to 12 Finale"; empty when no fade runs.
std::string fadeStatusText(const FadeStatus& status);

class FadeFeedback {
public:
    FadeFeedback(const ControlModel& main, ShowStore& store);

    // The fade as the console shows it now (the caption read again only when
    // the target or its step changed).
    FadeStatus status();

    // A press the rules did not act on: every listener acknowledges it.
    void pressIgnored();
    void onPressIgnored(std::function<void()> listener);
    uint64_t ignoredPresses() const { return m_ignored; }

private:
    const ControlModel& m_main;
    ShowStore& m_store;
    std::vector<std::function<void()>> m_listeners;
    uint64_t m_ignored = 0;
    int m_captionStep = -1;
    uint64_t m_captionGeneration = 0;
    std::string m_caption;
    std::string m_text; // fadeStatusText for m_captionStep and m_caption
    bool m_worded = false;
};

} // namespace orvane
