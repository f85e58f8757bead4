#pragma once
// Starts the real orvane binary on a temporary root and profile, for tests that
// check what the program leaves on disk and on the line.

#include "support/tempdir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace orvane::test {

class OrvaneProcess {
public:
    // env entries "NAME=value" are added to (and override) the defaults: a temp
    // ORVANE_ROOT and XDG_CONFIG_HOME, ORVANE_NONINTERACTIVE=1, an offscreen display,
    // a DMX port that does not exist, a pipe folder in the config folder, and
    // English (LANG=C.UTF-8; the tester's LANGUAGE, LC_ALL and LC_MESSAGES are dropped).
    // The program runs in a network namespace of its own (the tests run as root).
    // prefix, when given, is a command the program is started through (it must
    // end by executing the program in its own process, as "unshare" and
    // "sh -c 'exec ...'" do): the program's path follows it as one more argument.
    OrvaneProcess(const TempDir& root, const TempDir& config, std::vector<std::string> args,
                  std::vector<std::string> env = {}, std::vector<std::string> prefix = {});
    ~OrvaneProcess();

    pid_t pid() const { return m_pid; }
    // Waits for the program to end by itself: its exit status, -1 on timeout.
    int wait(int timeoutMs = 15000);
    // Waits until stderr holds text. False on timeout.
    bool waitForStderr(const std::string& text, int timeoutMs = 15000);

    std::string profilePath() const;
    // Waits until the program has written the user profile and it holds text
    // (the start step is remembered as the last act of the start-up). False on
    // timeout.
    bool waitForProfile(const std::string& text, int timeoutMs = 15000);
    // Sends a signal and waits for the exit; returns the exit status, -1 on timeout.
    int terminate(int signal, int timeoutMs = 15000);
    const std::string& stderrPath() const { return m_stderr; }
    // The program's local sockets.
    std::string pipePath(const std::string& name) const { return m_config + "/pipes/" + name; }

private:
    std::string m_config;
    std::string m_stderr;
    pid_t m_pid = -1;
    long long m_profileTime = -1;
};

} // namespace orvane::test
