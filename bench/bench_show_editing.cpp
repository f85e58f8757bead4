// Step sequence editing and effect file figures against a full show: insert and
// delete at step 0 move 499 steps; effects of 128 steps written and laid back.

#include "benchshow.h"
#include "benchutil.h"
#include "show/effectfile.h"
#include "show/patch.h"
#include "show/stepediting.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"

using namespace orvane;

// The same show with every section's keys in reverse order, as a show file
// written by hand or by another tool may hold them: no read follows the stored
// order, so every lookup goes through the index.
static void reverseSections(const ShowStore& from, ShowStore& to) {
    for (int s = 0; s < kStepCount; ++s) {
        const auto& entries = from.table().entries(s);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            to.table().write(s, it->key(), it->value);
    }
}

// What the main window does around a move: commit and show the current step
// and the one after it.
static StepEditContext contextFor(ShowStore& store, Prompts& prompts, int current) {
    return StepEditContext{
        .store = store,
        .prompts = prompts,
        .current = current,
        .commit =
            [&store, current] {
                StepRecord r;
                store.LoadStep(current, r);
                store.SaveStep(current, r);
                store.LoadStep(current + 1, r);
                store.SaveStep(current + 1, r);
            },
        .show =
            [&store, current](bool) {
                StepRecord r;
                store.LoadStep(current, r);
                store.LoadStep(current + 1, r);
                bench::keep(r);
            },
        .status = [](std::string_view text) { bench::keep(text); },
        .busyCursor = {},
        .rebuildSoundList = {},
    };
}

static double medianMs(int runs, const std::function<void()>& f) {
    return bench::percentile(bench::sample(runs, f), 50) / 1000.0;
}

int main() {
    orvane::test::TempDir dir;
    ProfileFiles profiles;
    ShowStore store(profiles);
    store.setShowFilePath(dir.file("dmx.ini"));
    bench::fillShow(store);
    orvane::test::ScriptedPrompts prompts;

    StepEditContext at0 = contextFor(store, prompts, 0);
    bench::figure("editing_insert_at_0", medianMs(7, [&] { InsertStep(at0); }), "ms");
    bench::figure("editing_delete_at_0",
                  medianMs(7,
                           [&] {
                               prompts.yesNo.push_back(true);
                               DeleteStep(at0);
                           }),
                  "ms");
    StepEditContext at250 = contextFor(store, prompts, 250);
    bench::figure("editing_duplicate", medianMs(7, [&] { DuplicateStep(at250); }), "ms");

    ShowStore reversed(profiles);
    reversed.setShowFilePath(store.showFilePath());
    reverseSections(store, reversed);
    StepEditContext rev0 = contextFor(reversed, prompts, 0);
    bench::figure("editing_insert_at_0_unordered_keys", medianMs(7, [&] { InsertStep(rev0); }),
                  "ms");

    std::string effect = dir.file("bench.EFE");
    bench::figure("effect_write_128_steps",
                  medianMs(5, [&] { writeEffectFile(store, effect, 100, 128); }), "ms");
    bench::figure("effect_apply_128_steps",
                  medianMs(5, [&] { applyEffectFile(store, effect, 300, false); }), "ms");
    return 0;
}
