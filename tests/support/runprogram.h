#pragma once
// Runs the real orvane binary to its end with a given environment, for tests
// of what it prints and the status it exits with.

#include <string>
#include <vector>

namespace orvane::test {

struct ProgramRun {
    int status = -1; // exit status; 128 + signal when killed; -1 when it did not end
    std::string out;
    std::string err;
};

// The environment is exactly env (nothing inherited), plus PATH and HOME.
// A run that has not ended after timeoutMs is killed.
ProgramRun runOrvane(const std::vector<std::string>& args, const std::vector<std::string>& env,
                     int timeoutMs = 30000);

} // namespace orvane::test
