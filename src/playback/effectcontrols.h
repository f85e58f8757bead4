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

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orvane {

// The texts of the effect dialogs.
constexpr const char* kEffectFilter = "Fichier d'effet (*.EFE)";
constexpr const char* kSaveEffectTitle = "Sauvegarder un effet";
constexpr const char* kLoadEffectTitle = "Charger un effet";
constexpr const char* kStepCountTitle = "Nombre de pas";
constexpr const char* kNotUnsigned = "Entrez un entier positif.";
constexpr const char* kTooManySteps = "Entrez un entier entre 0 et 500.";
constexpr const char* kEffectNotSaved = "Impossible d'enregistrer l'effet.";

// The "Nombre de pas" dialog: an unsigned number of steps, asked again after
// "Entrez un entier positif." until it is one; counts above one show's worth
// of steps are refused too. Nothing when cancelled.
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
