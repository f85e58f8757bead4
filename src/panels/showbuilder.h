#pragma once
// The easy show builder (dialog 126) without its widgets: a strip of cells
// showing consecutive steps of the show, the sound and effect lists, nine drop
// icons, and what dropping a sound, an effect or an icon on a cell, typing a
// caption in it, the context menu and a double click do to the show. Every
// change goes straight into the show store and the console is brought back in
// line with it; nothing of a step is kept here. The main window is reached
// through its control model (its buttons run their own handlers) and a few
// hooks. User-interface thread only.

#include "console/controlmodel.h"
#include "console/tabletext.h"
#include "panels/buildercells.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

class ShowSession;

namespace builder {

constexpr int kDialogId = 126;
// The texts below are marked for translation in the context "Builder": a window
// shows translate("Builder", kCaption), never the constant itself.
constexpr const char* kCaption = QT_TRANSLATE_NOOP("Builder", "Easy show builder");

constexpr int kStrip = 1275;
constexpr int kSoundList = 1360;
constexpr int kEffectList = 1356;
constexpr int kFirstStep = 1278;
constexpr int kZoom = 1280;
constexpr int kScrollLeft = 1363;
constexpr int kScrollRight = 1367;
constexpr int kSoundRefresh = 1370;
constexpr int kEffectRefresh = 1089;
constexpr int kLevel1 = 1385;
constexpr int kLevel2 = 1383;
constexpr int kDuration = 1389;
constexpr int kLightOnly = 1391;
constexpr int kPlay = 1390;
constexpr int kStopFade = 1006;
constexpr int kStop = 3;
constexpr int kSave = 4085;
// Caption box of cell i: kFirstCaption + i.
constexpr int kFirstCaption = 10000;

constexpr int kZoomMin = 1;
constexpr int kZoomMax = 10;
constexpr int kInitialCount = 4;
constexpr int kLevelMax = 10000;
constexpr int kTimerMs = 50;

// The context menu's commands.
constexpr int kMenuDelete = 32773;
constexpr int kMenuInsert = 32774;
constexpr int kMenuDuplicate = 32776;
constexpr const char* kMenuInsertText =
    QT_TRANSLATE_NOOP("Builder", "Insert a step after this step");
constexpr const char* kMenuDeleteText = QT_TRANSLATE_NOOP("Builder", "Delete this step");
constexpr const char* kMenuDuplicateText = QT_TRANSLATE_NOOP("Builder", "Duplicate this step");

constexpr const char* kLightOnlyText = QT_TRANSLATE_NOOP("Builder", "Copy only the light");
constexpr const char* kRefreshText = QT_TRANSLATE_NOOP("Builder", "Refresh");
constexpr const char* kSaveText = QT_TRANSLATE_NOOP("Builder", "Save");
// Never translated: the effect list's names are matched against it.
constexpr const char* kGlobalMark = " (GLOBAL)";
// A step whose sound name is this stops the sound and starts none.
constexpr const char* kStopSoundMarker = "$ns$";

// Cursors shown while a sound or an effect is dragged.
constexpr int kSoundCursor = 140;
constexpr int kEffectCursor = 142;

struct DropIcon {
    int control;
    int code;   // -1 .. -9
    int cursor; // shown while the icon is dragged
    const char* label;
};

inline constexpr std::array<DropIcon, 9> kDropIcons = {{
    {1378, -1, 145, QT_TRANSLATE_NOOP("Builder", "Stops a sound")},
    {1387, -2, 148, QT_TRANSLATE_NOOP("Builder", "Manual transition")},
    {1024, -3, 150, QT_TRANSLATE_NOOP("Builder", "Timed transition. Duration (s):")},
    {1388, -4, 152, QT_TRANSLATE_NOOP("Builder", "Transition at the end of the sound")},
    {1386, -5, 1045, QT_TRANSLATE_NOOP("Builder", "Cancels the sound level setting")},
    {1381, -6, 1048, QT_TRANSLATE_NOOP("Builder", "Sets the sound level like this:")},
    {1101, -7, 1101, QT_TRANSLATE_NOOP("Builder", "Hard light transition")},
    {1103, -8, 1103, QT_TRANSLATE_NOOP("Builder", "Soft light transition")},
    {1113, -9, 1105, QT_TRANSLATE_NOOP("Builder", "Toggles pause")},
}};

} // namespace builder

// What the builder needs of the main window besides its controls.
struct BuilderHooks {
    std::function<void(bool on)> editingFromBuilder; // step activation's flag: no step sound
    std::function<void()> fadeIn;                    // the main window's fade-in command
    std::function<bool()> leftButtonDown;
    // The strip must be drawn again; the caption boxes are already rebuilt.
    std::function<void()> repaint;
};

class ShowBuilder {
public:
    // The first visible step starts at the session's current step.
    ShowBuilder(ShowSession& session, ControlModel& mainControls, BuilderHooks hooks);
    ShowBuilder(const ShowBuilder&) = delete;
    ShowBuilder& operator=(const ShowBuilder&) = delete;

    ControlModel& controls() { return m_controls; }
    ListModel& soundList() { return m_sounds; }
    ListModel& effectList() { return m_effects; }
    const std::vector<std::string>& soundNames() const { return m_soundNames; }

    // The window's set-up: check box, both lists, slider ranges and positions.
    void init();
    // The 50 ms timer.
    void tick();
    // The window closes: the caption boxes go.
    void close() { destroyCaptions(); }

    void fillEffectList();
    void fillSoundList();

    // The strip's client size, for the cell geometry and the hit test.
    void setStripSize(int width, int height);
    int stripWidth() const { return m_width; }
    int stripHeight() const { return m_height; }
    int firstVisible() const { return m_first; }
    int visibleCount() const { return m_count; }
    CellSpan cellSpan(int i) const;
    // The step under a point of the strip, or nothing.
    std::optional<int> stepAt(int x, int y) const;
    // Every visible cell, each loaded from the show store as it is now.
    std::vector<CellPicture> cells() const;

    // Destroys the caption boxes, makes one per visible cell holding its
    // step's caption, and asks for the strip to be drawn again.
    void repaintStrip();
    int captionCount() const { return m_captionCount; }

    void beginSoundDrag(int item);
    void beginEffectDrag(int item);
    void beginIconDrag(int code);
    // Ends the drag in progress without a drop.
    void cancelDrag() { m_soundDrag = m_effectDrag = m_iconDrag = false; }
    bool dragging() const { return m_soundDrag || m_effectDrag || m_iconDrag; }
    // The cursor the drag in progress shows (0 when none): effect drag first,
    // then sound drag, then icon drag.
    int dragCursor() const;

    // The left button released at a point of the strip: ends the drag and, on
    // a step, drops what was dragged.
    void drop(int x, int y);
    // A command of the context menu opened at a point of the strip.
    void menuCommand(int command, int x, int y);
    // A double click at a point of the strip.
    void doubleClick(int x, int y);

private:
    void addControls();
    void bindHandlers();
    StepRecord shownStep(int step) const;
    void destroyCaptions();
    void captionChanged(int cell);
    void scroll(int delta);
    void iconDrop(int step, int code);
    void soundDrop(int step, int item);
    void effectDrop(int step, int item);
    void applyIcon(StepRecord& r, int code);
    std::optional<std::string> effectPath(const std::string& boxText) const;
    void goToStep(int step, int mainButton = 0);
    void afterChange();

    ShowSession& m_session;
    ControlModel& m_main;
    BuilderHooks m_hooks;
    ControlModel m_controls;
    ListModel m_sounds;
    ListModel m_effects;
    std::vector<std::string> m_soundNames;
    int m_first = 0;
    int m_count = builder::kInitialCount;
    int m_width = 0;
    int m_height = 0;
    int m_captionCount = 0;
    bool m_painting = false;
    bool m_soundDrag = false;
    bool m_effectDrag = false;
    bool m_iconDrag = false;
    int m_dragItem = 0;
    std::optional<int> m_lastSeenCurrent;
    uint64_t m_restoresSeen = 0;
};

} // namespace orvane
