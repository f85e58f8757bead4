// Every test here runs in a network namespace of its own, with only a
// loopback: the main window starts the IP device server on TCP 5555 on all
// addresses, which must never be the machine's real network, and test
// processes running side by side must not share the port. Done before main(),
// while the process has a single thread, so every later thread is inside.

#include "support/ownnetwork.h"

#include <cstdio>
#include <string>

namespace {

struct OwnNetwork {
    OwnNetwork() {
        std::string error;
        if (!orvane::test::enterOwnNetwork(&error))
            std::fprintf(stderr, "test_app: no network namespace of its own (%s)\n", error.c_str());
    }
};

const OwnNetwork ownNetwork;

} // namespace
