// The show file reader and LoadStep of every step; then the property that a
// save without edits changes nothing a step loads.

#include "fuzzsupport.h"
#include "show/showstore.h"

#include <cstdint>
#include <vector>

using namespace orvane;

namespace {

// The steps whose load can differ between two tables: those with entries in
// either, and section 0 (its shared flags reach every step) with one empty one.
std::vector<int> stepsToCompare(const ShowStore& a, const ShowStore& b) {
    std::vector<int> steps = {0, kStepCount - 1};
    for (int s = 1; s < kStepCount - 1; ++s)
        if (!a.table().entries(s).empty() || !b.table().entries(s).empty())
            steps.push_back(s);
    return steps;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::scratch() + "/dmx.ini";
    fuzz::writeScratch(path, std::string_view(reinterpret_cast<const char*>(data), size));
    ProfileFiles profiles;
    ShowStore first(profiles);
    first.setShowFilePath(path);
    if (first.LoadShowFile(path) != 0)
        return 0;
    fuzz::require(first.WriteShowFile(path) == 0, "the show file is written");

    // The first table is still the one read from the input: compare every
    // step that either table can load differently.
    ShowStore second(profiles);
    second.setShowFilePath(path);
    fuzz::require(second.LoadShowFile(path) == 0, "the written file reads back");
    fuzz::require(second.manualStep() == first.manualStep(), "the manual step is kept");
    for (int s : stepsToCompare(first, second)) {
        StepRecord before, after;
        uint32_t fadeBefore = 0, fadeAfter = 0;
        first.LoadStep(s, before, {}, &fadeBefore);
        second.LoadStep(s, after, {}, &fadeAfter);
        fuzz::require(after == before && fadeAfter == fadeBefore,
                      "a save without edits keeps every step");
    }
    return 0;
}
