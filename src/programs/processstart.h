#pragma once
// Starting other programs (EXEC=, CHAIN=): detached processes that the program
// never waits for and that inherit none of its files but the standard output
// and error. User-interface thread only.

#include <string>
#include <vector>

namespace orvane {

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // argv[0] is the program's path. False when it could not be started (the
    // callers do not report it).
    virtual bool startDetached(const std::vector<std::string>& argv) = 0;
};

// The real thing: a double fork, so the process is reparented and never left
// as a zombie; a new session; standard input from /dev/null; every other file
// above the standard error closed; the environment and the working directory
// of this program.
class DetachedProcessStarter : public ProcessStarter {
public:
    bool startDetached(const std::vector<std::string>& argv) override;
};

// The arguments that run a command line through the shell.
std::vector<std::string> shellCommand(const std::string& commandLine);

// This program's own executable (/proc/self/exe), empty when unknown.
std::string executablePath();

} // namespace orvane
