#include "show/effectfile.h"

#include "show/textutil.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace orvane {

namespace fs = std::filesystem;

namespace {

std::string sectionOf(uint32_t index) {
    return format("%u", kEffectFirstSection + index);
}

std::string normalised(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
    return ec ? path : p.string();
}

// Where the previous file waits while the new one is written.
std::string setAsidePath(const std::string& path) {
    fs::path p(path);
    return (p.parent_path() / ("." + p.filename().string() + ".previous")).string();
}

void writeSteps(ShowStore& store, const std::string& path, int first, uint32_t count) {
    ProfileFiles& files = store.profiles();
    files.beginBatch(); // one disk write for the whole effect, not one per key
    store.WriteStoreValue(kEffectSection, kEffectLengthKey, format("%u", count), path);
    for (uint32_t i = 0; i < count; ++i) {
        StepRecord r;
        store.LoadStep(first + int(i), r);
        store.SaveStep(kEffectFirstSection + int(i), r, path);
    }
    files.endBatch();
}

} // namespace

bool isShowFilePath(const ShowStore& store, const std::string& path) {
    if (path.empty() || store.isShowFile(path))
        return true;
    std::error_code ec;
    if (fs::equivalent(path, store.showFilePath(), ec))
        return true;
    // Either file may not exist yet: compare the spellings as the store does.
    return equalsIgnoreCase(normalised(path), normalised(store.showFilePath()));
}

bool writeEffectFile(ShowStore& store, const std::string& path, int first, uint32_t count) {
    std::error_code ec;
    if (count > kEffectMaxSteps || isShowFilePath(store, path) ||
        (fs::exists(path, ec) && !fs::is_regular_file(path, ec)))
        return false;
    // The effect is written from empty, but the old file is only set aside so
    // that a failed write does not lose it.
    const std::string aside = setAsidePath(path);
    bool hadOld = std::rename(path.c_str(), aside.c_str()) == 0;
    if (!hadOld && errno != ENOENT)
        return false;
    writeSteps(store, path, first, count);
    bool written = fs::is_regular_file(path, ec);
    if (hadOld) {
        if (written)
            fs::remove(aside, ec);
        else
            std::rename(aside.c_str(), path.c_str());
    }
    return written;
}

uint32_t effectLength(ShowStore& store, const std::string& path) {
    if (isShowFilePath(store, path))
        return 0;
    int32_t n = store.ReadStoreInt(kEffectSection, kEffectLengthKey, 0, path);
    return n > 0 ? uint32_t(n) : 0;
}

bool loadEffectStep(ShowStore& store, const std::string& path, uint32_t index, StepRecord& record) {
    if (index >= kEffectMaxSteps || isShowFilePath(store, path) ||
        !store.profiles().hasSection(path, sectionOf(index)))
        return false;
    store.LoadStep(kEffectFirstSection + int(index), record, path);
    return true;
}

int applyEffectFile(ShowStore& store, const std::string& path, int first, bool lightOnly) {
    if (first < 0 || first >= kStepCount)
        return 0;
    const uint32_t n = std::min(effectLength(store, path), uint32_t(kStepCount - first));
    StepRecord r; // one record for every step, as the steps are laid one after another
    int stored = 0;
    store.profiles().beginBatch(); // one look at the file for all of its steps
    for (uint32_t i = 0; i < n; ++i) {
        if (!loadEffectStep(store, path, i, r))
            continue;
        store.SaveStep(first + int(i), r, {}, lightOnly);
        ++stored;
    }
    store.profiles().endBatch();
    return stored;
}

std::vector<std::string> listEffectFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code kind;
        if (name.size() >= 4 &&
            equalsIgnoreCase(std::string_view(name).substr(name.size() - 4), ".efe") &&
            it->is_regular_file(kind))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace orvane
