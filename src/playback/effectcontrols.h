#pragma once
// The main window's effect controls: "Save effect" (1097), "Load effect"
// (1099), "Load only light" (1119) and the predefined light effect box 1340
// with its "refresh" (1379) and "reload" (1375) buttons. Logic over the
// control model, the show session, the prompts and the box's item list; no
// widgets. User-interface thread only.

#include "console/controlids.h"
#include "console/controlmodel.h"
#include "console/showsession.h"
#include "playback/stepcontrols.h"
#include "show/prompts.h"

#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orvane {

// The texts of the effect dialogs, in English: they are shown through
// translate("Effects", ...).
constexpr const char* kEffectFilter = QT_TRANSLATE_NOOP("Effects", "Effect file (*.EFE)");
constexpr const char* kSaveEffectTitle = QT_TRANSLATE_NOOP("Effects", "Save an effect");
constexpr const char* kLoadEffectTitle = QT_TRANSLATE_NOOP("Effects", "Load an effect");
constexpr const char* kStepCountTitle = QT_TRANSLATE_NOOP("Effects", "Number of steps");
constexpr const char* kNotUnsigned = QT_TRANSLATE_NOOP("Effects", "Enter a positive whole number.");
constexpr const char* kTooManySteps =
    QT_TRANSLATE_NOOP("Effects", "Enter a whole number from 0 to 500.");
constexpr const char* kEffectNotSaved = QT_TRANSLATE_NOOP("Effects", "Cannot save the effect.");

// The "Number of steps" dialog: an unsigned number of steps, asked again after
// "Enter a positive whole number." until it is one; counts above one show's
// worth of steps are refused too. Nothing when cancelled.
class nstep {
public:
    static std::optional<uint32_t> ask(Prompts& prompts, uint32_t initial = 1);
};

class EffectControls {
public:
    EffectControls(ControlModel& controls, ShowSession& session, Prompts& prompts,
                   ListModel& effectList);

    // Registers the handlers: Clicked on the five buttons above, and
    // SelectionChanged and TextChanged on the box 1340.
    void bind();

    // False when cancelled, refused or not written.
    bool SaveEffect();
    void LoadEffect();
    void LoadOnlyLight();
    void FillEffectList();
    void ApplyPredefinedEffect();

private:
    std::string showFolder() const;
    void followBoxText();

    ControlModel& m_controls;
    ShowSession& m_session;
    Prompts& m_prompts;
    ListModel& m_effectList;
};

} // namespace orvane
