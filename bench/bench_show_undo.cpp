// Undo and redo figures against a full show with a full history: a delete at
// step 0 moves 499 steps, and undoing it (or redoing it) puts every one back.

#include "benchshow.h"
#include "benchutil.h"
#include "show/showedits.h"
#include "show/stepediting.h"
#include "support/scriptedprompts.h"

using namespace orvane;

int main() {
    ProfileFiles profiles;
    ShowStore store(profiles);
    bench::fillShow(store);
    ShowEdits edits(store.table());
    orvane::test::ScriptedPrompts prompts;
    StepEditContext at0{
        .store = store,
        .prompts = prompts,
        .current = 0,
        .commit = {},
        .show = {},
        .status = [](std::string_view text) { bench::keep(text); },
        .busyCursor = {},
        .rebuildSoundList = {},
    };
    // A rehearsal's history first: captions and deletes, every level taken.
    for (int i = 0; i < int(ShowEdits::kLevels); ++i) {
        ShowEdits::Scope edit(edits, "history");
        if (i % 8 == 0) {
            prompts.yesNo.push_back(true);
            DeleteStep(at0);
        } else {
            StepRecord r;
            store.LoadStep(i, r);
            r.name = "caption " + std::to_string(i);
            store.SaveStep(i, r);
        }
    }
    {
        ShowEdits::Scope edit(edits, "delete step 0");
        prompts.yesNo.push_back(true);
        DeleteStep(at0);
    }
    std::vector<double> undo, redo;
    for (int i = 0; i < 51; ++i) {
        undo.push_back(bench::timeMicros([&] { bench::keep(edits.undo()); }));
        redo.push_back(bench::timeMicros([&] { bench::keep(edits.redo()); }));
    }
    bench::figure("undo_delete_500_steps_p50", bench::percentile(undo, 50) / 1000.0, "ms");
    bench::figure("undo_delete_500_steps_p99", bench::percentile(undo, 99) / 1000.0, "ms");
    bench::figure("redo_delete_500_steps_p50", bench::percentile(redo, 50) / 1000.0, "ms");
    bench::figure("redo_delete_500_steps_p99", bench::percentile(redo, 99) / 1000.0, "ms");
    // Going back through the whole history and forward again, one level each.
    std::vector<double> deep;
    while (edits.undoLevels() > 0)
        deep.push_back(bench::timeMicros([&] { bench::keep(edits.undo()); }));
    while (edits.redoLevels() > 0)
        deep.push_back(bench::timeMicros([&] { bench::keep(edits.redo()); }));
    bench::figure("undo_redo_any_level_p99", bench::percentile(deep, 99) / 1000.0, "ms");
    bench::figure("undo_history_memory", double(edits.memoryBytes()) / (1024.0 * 1024.0), "MB");
    return 0;
}
