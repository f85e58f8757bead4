#pragma once
// Effect files ("*.EFE"): a run of consecutive steps kept in a profile file of
// its own, to be laid over any place of a show. Section "effect", key "len"
// holds the number of steps; step i of the effect is section 123456 + i with
// every key of a full step except the four shared check flags, which go to
// section "0" (from the last step written). Steps are read and written through
// the show store, so an effect step has exactly the keys and encodings of a
// show step. User-interface thread only.

#include "show/showstore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

constexpr int kEffectFirstSection = 123456;
constexpr const char* kEffectSection = "effect";
constexpr const char* kEffectLengthKey = "len";
// The longest effect worth writing: laid anywhere, no more steps fit a show.
constexpr uint32_t kEffectMaxSteps = kStepCount;

// True when path names the show file in any spelling. Effects are never read
// from or written to it: the store would route such a path to the show table.
bool isShowFilePath(const ShowStore& store, const std::string& path);

// Writes steps first .. first + count - 1 of the show as a new effect file
// ("effect" first, then 123456, "0", 123457, ...). Steps past 499 are written
// as empty steps. The previous file is replaced only once the new one is on
// disk in full; false (and the previous file intact) when it could not be
// written, when path is the show file or when count exceeds kEffectMaxSteps.
bool writeEffectFile(ShowStore& store, const std::string& path, int first, uint32_t count);

// The step count the file gives; 0 when the file, its "effect" section or the
// key is missing, or the value is negative.
uint32_t effectLength(ShowStore& store, const std::string& path);

// Effect step index into record; false (record untouched) when the file holds
// no such section.
bool loadEffectStep(ShowStore& store, const std::string& path, uint32_t index, StepRecord& record);

// Lays the effect over the show from step first on, each step saved in full or
// light-only. Steps that would land past 499 are not read; a section missing
// from a damaged file leaves its show step as it was. Returns the number of
// steps stored.
int applyEffectFile(ShowStore& store, const std::string& path, int first, bool lightOnly);

// The effect files of a folder ("*.efe" in any case; folders are skipped), by
// name in ascending order. Empty when the folder cannot be read.
std::vector<std::string> listEffectFiles(const std::string& folder);

} // namespace orvane
