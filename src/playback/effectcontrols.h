#pragma once
// The main window's step-editing and effect controls: "Insert a step" (1042),
// "Delete this step" (1043), "Duplicate this step" (1126), "Save effect" (1097),
// "Load effect" (1099), "Load only light" (1119) and the predefined light
// effect box 1340 with its "refresh" (1379) and "reload" (1375) buttons.
// Logic over the control model, the show session, the prompts and the box's
// item list; no widgets. User-interface thread only.

#include "console/controlids.h"
#include "console/controlmodel.h"
#include "console/showsession.h"
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

// Window services the controls use but do not own; unset ones are skipped.
struct EffectHooks {
    std::function<void(bool busy)> busyCursor; // hourglass on, arrow back
    std::function<void()> rebuildSoundList;    // the audio list after insert and delete
};

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
                   ListModel& effectList, EffectHooks hooks = {});

    // Registers the handlers: Clicked on the eight buttons above, and
    // SelectionChanged and TextChanged on the box 1340.
    void bind();

    void InsertStep();
    void DeleteStep();
    void DuplicateStep();
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
    EffectHooks m_hooks;
};

} // namespace orvane
