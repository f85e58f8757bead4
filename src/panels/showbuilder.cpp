#include "panels/showbuilder.h"
#include "panels/buildertable.h"

#include "console/console.h"
#include "console/controlids.h"
#include "console/showsession.h"
#include "show/datafile.h"
#include "show/effectfile.h"
#include "show/language.h"
#include "show/showfolders.h"
#include "show/textencoding.h"
#include "show/textutil.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace orvane {

using namespace builder;

namespace {

// The files of a folder (no folders, and none of the hidden files this
// program and others keep beside a show), ordered by name as the shows' home
// platform lists them.
std::vector<std::string> folderFiles(const std::string& folder, std::string_view extension = {}) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code kind;
        if (name.empty() || name.front() == '.' || it->is_directory(kind))
            continue;
        if (!extension.empty() &&
            (name.size() <= extension.size() ||
             !equalsIgnoreCase(std::string_view(name).substr(name.size() - extension.size()),
                               extension)))
            continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return toLower(a) < toLower(b); });
    return names;
}

// The transition time typed for the two transition icons: up to 31 characters,
// 0 for anything that is not a usable number of seconds.
double durationOf(const std::string& text) {
    double seconds = leadingDouble(std::string_view(text).substr(0, 31));
    return std::isfinite(seconds) && seconds > 0 ? seconds : 0.0;
}

// What an icon dropped on a step does, as the edit's name says it.
std::string iconAction(int code) {
    switch (code) {
    case -1:
        return translate("Builder", "stop sound");
    case -2:
        return translate("Builder", "manual transition");
    case -3:
        return translate("Builder", "timed transition");
    case -4:
        return translate("Builder", "end-of-sound transition");
    case -5:
        return translate("Builder", "no sound level");
    case -6:
        return translate("Builder", "sound level");
    case -7:
        return translate("Builder", "rude light fade");
    case -8:
        return translate("Builder", "soft light fade");
    case -9:
        return translate("Builder", "toggle pause");
    default:
        return translate("Builder", "icon");
    }
}

int mainButtonOf(int command) {
    switch (command) {
    case kMenuDelete:
        return console::kDeleteStep;
    case kMenuInsert:
        return console::kInsertStep;
    case kMenuDuplicate:
        return console::kDuplicateStep;
    default:
        return 0;
    }
}

} // namespace

ShowBuilder::ShowBuilder(ShowSession& session, ControlModel& mainControls, BuilderHooks hooks)
    : m_session(session), m_main(mainControls), m_hooks(std::move(hooks)),
      m_first(session.currentStep()) {
    addControls();
    bindHandlers();
}

void ShowBuilder::addControls() {
    declareControls(m_controls, builderControls());
    m_controls.setEnabled(kStrip, false); // clicks on the strip reach the window itself
}

void ShowBuilder::bindHandlers() {
    auto onClick = [this](int id, std::function<void()> f) {
        m_controls.on(ControlEvent::Clicked, id, std::move(f));
    };
    onClick(kScrollLeft, [this] { scroll(-1); });
    onClick(kScrollRight, [this] { scroll(+1); });
    onClick(kSoundRefresh, [this] { fillSoundList(); });
    onClick(kEffectRefresh, [this] { fillEffectList(); });
    for (const DropIcon& icon : kDropIcons)
        onClick(icon.control, [this, code = icon.code] { beginIconDrag(code); });
    onClick(kPlay, [this] {
        if (m_hooks.fadeIn)
            m_hooks.fadeIn();
        m_main.setChecked(console::kFadeIn, true);
    });
    onClick(kStopFade, [this] {
        m_main.setChecked(console::kFadeIn, false);
        m_main.setPos(console::kFadeProgress, 0);
    });
    onClick(kStop, [this] { m_main.click(console::kStop); });
    onClick(kSave, [this] { m_main.click(console::kSave); });
    for (int i = 0; i < kZoomMax; ++i)
        m_controls.on(ControlEvent::TextChanged, kFirstCaption + i,
                      [this, i] { captionChanged(i); });
}

void ShowBuilder::init() {
    m_controls.setChecked(kLightOnly, true);
    fillEffectList();
    fillSoundList();
    m_controls.setRange(kZoom, kZoomMin, kZoomMax);
    m_controls.setPos(kZoom, m_count);
    m_controls.setRange(kFirstStep, 0, kStepCount - kZoomMax);
    m_controls.setPos(kFirstStep, m_first);
    // A current step past the slider's end shows the last cells of the show.
    m_first = m_controls.pos(kFirstStep);
    m_controls.setRange(kLevel1, 0, kLevelMax);
    m_controls.setRange(kLevel2, 0, kLevelMax);
    repaintStrip();
}

void ShowBuilder::tick() {
    bool repaint = false;
    int current = m_main.textInt(console::kStepNumber);
    if (current != m_lastSeenCurrent) {
        m_lastSeenCurrent = current;
        repaint = true;
    }
    if (dragging() && !(m_hooks.leftButtonDown && m_hooks.leftButtonDown()))
        cancelDrag(); // let go outside the window: no drop
    if (m_controls.pos(kZoom) != m_count) {
        m_count = m_controls.pos(kZoom);
        repaint = true;
    }
    if (m_controls.pos(kFirstStep) != m_first) {
        m_first = m_controls.pos(kFirstStep);
        repaint = true;
    }
    // An undo or a redo changed steps under the strip.
    if (m_session.edits().restores() != m_restoresSeen) {
        m_restoresSeen = m_session.edits().restores();
        repaint = true;
    }
    if (repaint)
        repaintStrip();
}

void ShowBuilder::fillEffectList() {
    m_effects.clear();
    for (const std::string& name : folderFiles(showFolder(m_session.root(), m_session.show())))
        m_effects.add(name);
    for (const std::string& name : folderFiles(m_session.root()))
        m_effects.add(name + kGlobalMark);
}

void ShowBuilder::fillSoundList() {
    m_sounds.clear();
    m_soundNames = folderFiles(soundFolder(m_session.root(), m_session.show()), ".wav");
    for (const std::string& name : m_soundNames)
        m_sounds.add(name);
}

void ShowBuilder::setStripSize(int width, int height) {
    m_width = width;
    m_height = height;
}

CellSpan ShowBuilder::cellSpan(int i) const {
    return orvane::cellSpan(m_width, m_count, i);
}

std::optional<int> ShowBuilder::stepAt(int x, int y) const {
    std::optional<int> cell = cellAt(x, y, m_width, m_height, m_count);
    return cell ? std::optional<int>(m_first + *cell) : std::nullopt;
}

// A step with the texts the strip shows in UTF-8, whatever the show's encoding.
StepRecord ShowBuilder::shownStep(int step) const {
    ShowStore& store = m_session.store();
    StepRecord r;
    store.LoadStep(step, r);
    for (std::string* text : {&r.name, &r.ple, &r.soundnameatbegin})
        *text = decodeStored(*text, store.encoding());
    return r;
}

std::vector<CellPicture> ShowBuilder::cells() const {
    std::vector<StepRecord> steps(size_t(m_count) + 1);
    for (int i = 0; i <= m_count; ++i)
        steps[size_t(i)] = shownStep(m_first + i);
    std::vector<CellPicture> out;
    out.reserve(size_t(m_count));
    for (int i = 0; i < m_count; ++i) {
        int step = m_first + i;
        out.push_back(cellPicture(step, steps[size_t(i)], steps[size_t(i) + 1], cellSpan(i),
                                  m_soundNames, step == m_session.currentStep()));
    }
    return out;
}

void ShowBuilder::repaintStrip() {
    if (m_painting)
        return;
    m_painting = true;
    destroyCaptions();
    for (int i = 0; i < m_count; ++i) {
        StepRecord r = shownStep(m_first + i);
        m_controls.setText(kFirstCaption + i, storedToConsole(r.name));
        m_controls.setVisible(kFirstCaption + i, true);
    }
    m_captionCount = m_count;
    m_painting = false;
    if (m_hooks.repaint)
        m_hooks.repaint();
}

void ShowBuilder::destroyCaptions() {
    m_captionCount = 0;
    for (int i = 0; i < kZoomMax; ++i)
        m_controls.setVisible(kFirstCaption + i, false);
}

void ShowBuilder::captionChanged(int cell) {
    if (m_painting || cell >= m_captionCount)
        return;
    int step = m_first + cell;
    StepRecord r;
    m_session.store().LoadStep(step, r);
    std::string name = consoleToStored(m_controls.text(kFirstCaption + cell));
    std::string stored = encodeStored(name, m_session.store().encoding());
    if (stored == r.name)
        return;
    r.name = stored;
    // A caption typed letter by letter is one edit.
    ShowEdits::Scope edit(
        m_session.edits(),
        fillIn(translate("Builder", "caption of step %1"), {std::to_string(step)}),
        ShowEdits::Naming::Action,
        format("caption %d", step)); // untranslated: a merge key, never shown
    m_session.store().SaveStep(step, r);
    // The console holds the current step's caption too: keep it in line, so that
    // the next commit of the current step does not put the old caption back.
    if (step == m_session.currentStep())
        m_main.setText(console::kStepName, storedToConsole(name));
}

void ShowBuilder::scroll(int delta) {
    int first = m_first;
    if ((delta > 0 && first < kStepCount - kZoomMax) || (delta < 0 && first > 0))
        m_controls.setPos(kFirstStep, m_controls.pos(kFirstStep) + delta);
    repaintStrip(); // the timer adopts the slider's position
}

void ShowBuilder::beginSoundDrag(int item) {
    m_effectDrag = m_iconDrag = false;
    m_soundDrag = true;
    m_dragItem = item;
}

void ShowBuilder::beginEffectDrag(int item) {
    m_soundDrag = m_iconDrag = false;
    m_effectDrag = true;
    m_dragItem = item;
}

void ShowBuilder::beginIconDrag(int code) {
    m_soundDrag = m_effectDrag = false;
    m_iconDrag = true;
    m_dragItem = code;
}

int ShowBuilder::dragCursor() const {
    if (m_effectDrag)
        return kEffectCursor;
    if (m_soundDrag)
        return kSoundCursor;
    if (m_iconDrag)
        for (const DropIcon& icon : kDropIcons)
            if (icon.code == m_dragItem)
                return icon.cursor;
    return 0;
}

void ShowBuilder::drop(int x, int y) {
    const bool sound = m_soundDrag, effect = m_effectDrag, icon = m_iconDrag;
    cancelDrag();
    std::optional<int> step = stepAt(x, y);
    if (!step)
        return;
    if (icon)
        iconDrop(*step, m_dragItem);
    if (sound)
        soundDrop(*step, m_dragItem);
    if (effect)
        effectDrop(*step, m_dragItem);
}

void ShowBuilder::applyIcon(StepRecord& r, int code) {
    switch (code) {
    case -1:
        r.playatbegin = r.soundnameatbegin == kStopSoundMarker ? 0 : 1;
        r.soundnameatbegin = r.playatbegin ? kStopSoundMarker : "";
        break;
    case -2:
    case -3:
        r.autofade = code == -3 ? 1 : 0;
        r.nextonstop = 0;
        r.fadet = durationOf(m_controls.text(kDuration));
        break;
    case -4:
        r.autofade = 0;
        r.nextonstop = r.nextonstop == 1 ? 0 : 1;
        break;
    case -5:
        r.stepsound = 0;
        break;
    case -6:
        r.stepsound = 1;
        r.sound1 = m_controls.pos(kLevel1);
        r.sound2 = m_controls.pos(kLevel2);
        r.soundlocked = r.sound1 == r.sound2 ? 1 : 0;
        break;
    case -7:
    case -8:
        r.faderude = code == -7 ? 1 : 0;
        break;
    case -9:
        r.togglepause = r.togglepause ? 0 : 1;
        break;
    default:
        break;
    }
}

// After a step of the store changed: the console shows the store again, so
// that the next commit of the current step keeps the change.
void ShowBuilder::afterChange() {
    m_session.ShowCurrentStep(false);
    repaintStrip();
}

void ShowBuilder::iconDrop(int step, int code) {
    ShowEdits::Scope edit(m_session.edits(), fillIn(translate("Builder", "%1 on step %2"),
                                                    {iconAction(code), std::to_string(step)}));
    StepRecord r;
    m_session.store().LoadStep(step, r);
    applyIcon(r, code);
    m_session.store().SaveStep(step, r);
    afterChange();
}

void ShowBuilder::soundDrop(int step, int item) {
    if (item < 0 || item >= m_sounds.count())
        return;
    ShowEdits::Scope edit(m_session.edits(),
                          fillIn(translate("Builder", "sound %1 on step %2"),
                                 {m_sounds.item(item).text, std::to_string(step)}));
    StepRecord r;
    m_session.store().LoadStep(step, r);
    r.soundnameatbegin = encodeStored(m_sounds.item(item).text, m_session.store().encoding());
    r.playatbegin = 1;
    m_session.store().SaveStep(step, r);
    afterChange();
}

// The file an effect list entry names: " (GLOBAL)" entries lie in the root
// folder, the others in the show folder. The name never carries the full-copy
// marker, so show-folder effects are found whatever the check box says.
std::optional<std::string> ShowBuilder::effectPath(const std::string& entry) const {
    std::string name = entry;
    std::string folder = showFolder(m_session.root(), m_session.show());
    if (size_t mark = name.find(kGlobalMark); mark != std::string::npos) {
        name.resize(mark);
        folder = m_session.root();
    }
    std::optional<FoundFile> found = findDataFile(folder, name);
    return found ? std::optional<std::string>(found->path) : std::nullopt;
}

void ShowBuilder::effectDrop(int step, int item) {
    if (item < 0 || item >= m_effects.count())
        return;
    const std::string name = m_effects.item(item).text;
    // The step change on the way (and what it stores) belongs to the drop.
    ShowEdits::Scope edit(m_session.edits(), fillIn(translate("Builder", "effect %1 from step %2"),
                                                    {name, std::to_string(step)}));
    ShowStore& store = m_session.store();
    auto setPle = [&] {
        StepRecord r;
        store.LoadStep(step, r);
        r.ple = name;
        store.SaveStep(step, r);
    };
    setPle();
    m_session.ShowCurrentStep(false);
    goToStep(step);
    const bool lightOnly = m_controls.checked(kLightOnly);
    m_main.setText(console::kPredefinedEffect, lightOnly ? name : name + "*");
    if (std::optional<std::string> path = effectPath(name)) {
        // Steps that would land past 499 are not stored.
        applyEffectFile(store, *path, step, lightOnly);
        m_session.ShowCurrentStep(lightOnly);
    }
    setPle();
    m_main.setText(console::kPredefinedEffect, name);
    repaintStrip();
}

// Makes a step the main window's current step without its step sound, then
// presses one of the main window's buttons when given one.
void ShowBuilder::goToStep(int step, int mainButton) {
    if (m_hooks.editingFromBuilder)
        m_hooks.editingFromBuilder(true);
    m_main.setText(console::kStepNumber, format("%u", unsigned(step)));
    m_main.setChecked(console::kFadeIn, false);
    if (mainButton)
        m_main.click(mainButton); // the main window's own insert, delete or duplicate
    if (m_hooks.editingFromBuilder)
        m_hooks.editingFromBuilder(false);
}

void ShowBuilder::menuCommand(int command, int x, int y) {
    std::optional<int> step = stepAt(x, y);
    int button = mainButtonOf(command);
    if (!step || !button)
        return;
    // One edit with the main window's button it presses, which names it.
    ShowEdits::Scope edit(m_session.edits(), {}, ShowEdits::Naming::Store);
    goToStep(*step, button);
    repaintStrip();
}

void ShowBuilder::doubleClick(int x, int y) {
    std::optional<int> step = stepAt(x, y);
    if (!step)
        return;
    m_main.setText(console::kStepNumber, format("%u", unsigned(*step)));
    m_main.setChecked(console::kFadeIn, false);
    repaintStrip();
    StepRecord r;
    m_session.store().LoadStep(*step, r);
    m_controls.setPos(kLevel1, r.sound1);
    m_controls.setPos(kLevel2, r.sound2);
    m_controls.setText(kDuration, twoDecimals(r.fadet));
}

} // namespace orvane
