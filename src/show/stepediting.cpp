#include "show/stepediting.h"

#include "show/language.h"
#include "show/textutil.h"

namespace orvane {

namespace {

template <typename F, typename... Args> void call(const F& f, Args&&... args) {
    if (f)
        f(std::forward<Args>(args)...);
}

// A current step outside the show would make the copy loops read and write
// steps that do not exist; such a request is ignored.
bool inShow(int step) {
    return step >= 0 && step < kStepCount;
}

void copyStep(ShowStore& store, int from, int to) {
    StepRecord r;
    store.LoadStep(from, r);
    store.SaveStep(to, r);
}

// What insert and delete do once the steps have moved.
void finishMove(StepEditContext& ctx) {
    call(ctx.show, false);
    call(ctx.rebuildSoundList);
    call(ctx.busyCursor, false);
}

} // namespace

void InsertStep(StepEditContext& ctx) {
    const int c = ctx.current;
    if (!inShow(c))
        return;
    call(ctx.busyCursor, true);
    call(ctx.commit);
    const unsigned total = unsigned(kStepCount - c);
    for (int k = kStepCount - 1; k > c; --k) {
        copyStep(ctx.store, k - 1, k);
        call(ctx.status, format("%u/%u", unsigned(kStepCount - k), total));
    }
    call(ctx.status, "");
    finishMove(ctx);
}

bool DeleteStep(StepEditContext& ctx) {
    const int c = ctx.current;
    if (!inShow(c) || !ctx.prompts.askYesNo(ctx.title, translate("Step editing", kConfirmDelete)))
        return false;
    call(ctx.busyCursor, true);
    call(ctx.commit);
    for (int k = c; k < kStepCount - 1; ++k)
        copyStep(ctx.store, k + 1, k);
    finishMove(ctx);
    return true;
}

void DuplicateStep(StepEditContext& ctx) {
    const int c = ctx.current;
    if (!inShow(c))
        return;
    call(ctx.commit);
    copyStep(ctx.store, c, c + 1); // a save to step 500 is dropped by the store
    call(ctx.show, false);
}

} // namespace orvane
