#pragma once
// The keys of a step in the order a first save writes them, written out from the
// file format's rules for tests that check written show files line by line.

#include <string>
#include <vector>

namespace orvane::test {

// Key names of a step's own section, in order (the four shared flags, which go
// to section "0", are not among them).
std::vector<std::string> firstSaveOrder();

// The text a save writes for key of a never-saved step.
std::string emptyStepValue(const std::string& key);

} // namespace orvane::test
