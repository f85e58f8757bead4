#pragma once
// Every step of a show store, loaded into records, for tests that compare a
// whole show before and after an operation.

#include "show/showstore.h"

#include <vector>

namespace orvane::test {

inline std::vector<StepRecord> snapshotSteps(ShowStore& store) {
    std::vector<StepRecord> all(kStepCount);
    for (int s = 0; s < kStepCount; ++s)
        store.LoadStep(s, all[size_t(s)]);
    return all;
}

} // namespace orvane::test
