#pragma once
// Undo and redo of the show's edits as the operator asks for them (Ctrl+Z,
// Ctrl+Shift+Z and Ctrl+Y, in every window). What the console holds that the
// show does not is stored first, as an edit of its own, so that it is the
// first thing undone; then the steps of the edit go back exactly as they were,
// the console shows the current step again and the status line says what was
// done ("Undone: delete step 12"). No widgets. User-interface thread only.

#include "console/controlmodel.h"
#include "console/showsession.h"

#include <QtGlobal>
#include <functional>
#include <optional>
#include <string>

namespace orvane {

// Status texts, shown through translate("Undo", ...).
constexpr const char* kNothingToUndo = QT_TRANSLATE_NOOP("Undo", "Nothing to undo");
constexpr const char* kNothingToRedo = QT_TRANSLATE_NOOP("Undo", "Nothing to redo");
constexpr const char* kEditUnderWay =
    QT_TRANSLATE_NOOP("Undo", "Undo and redo wait until the change under way is done");

struct UndoHooks {
    std::function<void()> rebuildSoundList; // the audio list follows the steps
    std::function<void()> restored;         // windows that draw steps, the resting ticks
};

class UndoRedo {
public:
    UndoRedo(ControlModel& controls, ShowSession& session, UndoHooks hooks = {});

    void undo();
    void redo();

private:
    // `done` holds %1 for the label of the edit.
    void after(const std::optional<std::string>& label, const std::string& done,
               const char* nothing);

    ControlModel& m_controls;
    ShowSession& m_session;
    UndoHooks m_hooks;
};

} // namespace orvane
