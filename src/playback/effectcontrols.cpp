#include "playback/effectcontrols.h"

#include "show/datafile.h"
#include "show/effectfile.h"
#include "show/language.h"
#include "show/prompts.h"
#include "show/showfolders.h"
#include "show/textutil.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

namespace orvane {

namespace {

constexpr std::string_view kGlobalMark = " (GLOBAL)";

// The number field's rule: digits only (blanks around them allowed), within
// 32 bits.
std::optional<uint32_t> parseUnsigned(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    uint32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The save dialog's default extension: a name typed without one gets ".EFE".
std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string withEffectExtension(std::string path) {
    if (std::filesystem::path(path).extension().empty())
        path += ".EFE";
    return path;
}

} // namespace

std::optional<uint32_t> nstep::ask(Prompts& prompts, uint32_t initial) {
    std::string text = format("%u", initial);
    for (;;) {
        std::optional<std::string> typed =
            prompts.askText(translate("Effects", kStepCountTitle), "", text);
        if (!typed)
            return std::nullopt;
        text = *typed;
        std::optional<uint32_t> n = parseUnsigned(text);
        if (n && *n <= kEffectMaxSteps)
            return n;
        prompts.message(kProgramTitle, translate("Effects", n ? kTooManySteps : kNotUnsigned),
                        PromptIcon::Warning);
    }
}

EffectControls::EffectControls(ControlModel& controls, ShowSession& session, Prompts& prompts,
                               ListModel& effectList)
    : m_controls(controls), m_session(session), m_prompts(prompts), m_effectList(effectList) {}

void EffectControls::bind() {
    auto onClick = [this](int id, void (EffectControls::*handler)()) {
        m_controls.on(ControlEvent::Clicked, id, [this, handler] { (this->*handler)(); });
    };
    m_controls.on(ControlEvent::Clicked, console::kSaveEffect, [this] { SaveEffect(); });
    onClick(console::kLoadEffect, &EffectControls::LoadEffect);
    onClick(console::kLoadOnlyLight, &EffectControls::LoadOnlyLight);
    onClick(console::kEffectReload, &EffectControls::FillEffectList);
    onClick(console::kEffectRefresh, &EffectControls::ApplyPredefinedEffect);
    m_controls.on(ControlEvent::SelectionChanged, console::kPredefinedEffect,
                  [this] { ApplyPredefinedEffect(); });
    m_controls.on(ControlEvent::TextChanged, console::kPredefinedEffect,
                  [this] { followBoxText(); });
}

std::string EffectControls::showFolder() const {
    return orvane::showFolder(m_session.root(), m_session.show());
}

bool EffectControls::SaveEffect() {
    std::optional<std::string> file = m_prompts.askSaveFile(
        translate("Effects", kSaveEffectTitle), showFolder(), translate("Effects", kEffectFilter));
    if (!file)
        return false;
    std::optional<uint32_t> count = nstep::ask(m_prompts, 1);
    if (!count)
        return false;
    std::string path = withEffectExtension(*file);
    ShowStore& store = m_session.store();
    // The show file is refused before the commit, so a refusal changes nothing.
    bool saved = !isShowFilePath(store, path);
    if (saved) {
        m_session.CommitCurrentStep();
        saved = writeEffectFile(store, path, m_session.currentStep(), *count);
    }
    if (!saved)
        m_prompts.message(kProgramTitle, translate("Effects", kEffectNotSaved),
                          PromptIcon::Warning);
    return saved;
}

void EffectControls::LoadEffect() {
    std::optional<std::string> file = m_prompts.askOpenFile(
        translate("Effects", kLoadEffectTitle), showFolder(), translate("Effects", kEffectFilter));
    if (!file)
        return;
    ShowEdits::Scope edit(m_session.edits(),
                          fillIn(translate("Effects", "load effect %1 at step %2"),
                                 {fileNameOf(*file), std::to_string(m_session.currentStep())}));
    // No commit first: edits not yet stored in the current step are replaced.
    applyEffectFile(m_session.store(), *file, m_session.currentStep(), false);
    m_session.ShowCurrentStep(false);
}

void EffectControls::LoadOnlyLight() {
    std::optional<std::string> file = m_prompts.askOpenFile(
        translate("Effects", kLoadEffectTitle), showFolder(), translate("Effects", kEffectFilter));
    if (!file)
        return;
    // A file without a first step would put an all-dark step on the console,
    // which the next commit would store: leave the console as it is instead.
    StepRecord r;
    if (!loadEffectStep(m_session.store(), *file, 0, r))
        return;
    // Only the console changes; the light reaches the step at its next commit.
    m_session.console().display(r, DisplayMode::Effect);
}

void EffectControls::FillEffectList() {
    std::string kept = m_controls.text(console::kPredefinedEffect);
    m_effectList.clear();
    for (const std::string& name : listEffectFiles(showFolder()))
        m_effectList.add(name);
    for (const std::string& name : listEffectFiles(m_session.root()))
        m_effectList.add(name + std::string(kGlobalMark));
    m_controls.setText(console::kPredefinedEffect, kept);
    m_effectList.sortAscending();
}

void EffectControls::ApplyPredefinedEffect() {
    std::string name;
    bool lightOnly = true;
    int selected = m_effectList.selected();
    if (selected >= 0) {
        name = m_effectList.item(selected).text;
    } else {
        name = m_controls.text(console::kPredefinedEffect);
        if (name.empty())
            return;
        if (name.back() == '*') {
            name.pop_back();
            lightOnly = false;
        }
    }
    std::string folder = showFolder();
    if (size_t mark = name.find(kGlobalMark); mark != std::string::npos) {
        name.resize(mark);
        folder = m_session.root();
    }
    std::optional<FoundFile> found = findDataFile(folder, name);
    if (!found)
        return; // a vanished effect is ignored
    if (found->caseFolded)
        std::fprintf(stderr, "orvane: %s\n",
                     fillIn(translate("Effects", "effect \"%1\" read from %2"), {name, found->path})
                         .c_str());
    ShowEdits::Scope edit(m_session.edits(),
                          fillIn(translate("Effects", "effect %1 at step %2"),
                                 {name, std::to_string(m_session.currentStep())}));
    applyEffectFile(m_session.store(), found->path, m_session.currentStep(), lightOnly);
    m_session.ShowCurrentStep(lightOnly);
}

// A text written into the box (typed, or a step's "ple" shown) names what the
// box now holds: an item selected before no longer applies.
void EffectControls::followBoxText() {
    int selected = m_effectList.selected();
    if (selected >= 0 &&
        m_effectList.item(selected).text != m_controls.text(console::kPredefinedEffect))
        m_effectList.select(-1);
}

} // namespace orvane
