#pragma once
// A network namespace of this process's own, with only a loopback that is up:
// a program that starts the main window (and with it the IP device server on
// TCP 5555 on all addresses) never listens on the machine's real network, and
// programs running side by side never share the port. Call it while the
// process has a single thread; threads started later are inside.

#include <string>

namespace orvane::test {

// False with the reason when the namespace cannot be had (not root).
bool enterOwnNetwork(std::string* error = nullptr);

} // namespace orvane::test
