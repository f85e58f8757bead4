#pragma once
// Tests that need a read-only folder or a full disk run again in a mount
// namespace of their own, where they mount what they need without touching
// the machine's mounts. Root only (the test is skipped otherwise).
//
//   TEST(Suite, Name) {
//       if (!inPrivateMounts())
//           return;            // the rerun did the work and passed or failed
//       mountTmpfs(dir, 16 * 1024); ...
//   }

#include <cstddef>
#include <string>

namespace orvane::test {

// First run: runs this same test again under "unshare -m" and checks that it
// passed; returns false. The rerun: returns true.
bool inPrivateMounts();

// A tmpfs of the given size over the folder (its files are hidden meanwhile).
bool mountTmpfs(const std::string& folder, size_t bytes);
// The folder, bound onto itself read-only: its files stay readable.
bool bindReadOnly(const std::string& folder);

} // namespace orvane::test
