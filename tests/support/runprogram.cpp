#include "support/runprogram.h"

#include "support/tempdir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

namespace orvane::test {

namespace {

int waitFor(pid_t pid, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

} // namespace

ProgramRun runOrvane(const std::vector<std::string>& args, const std::vector<std::string>& env,
                     int timeoutMs) {
    TempDir out;
    std::string outPath = out.file("stdout.txt"), errPath = out.file("stderr.txt");
    std::vector<std::string> envs = env;
    for (const char* name : {"PATH", "HOME"})
        if (const char* v = std::getenv(name))
            envs.push_back(std::string(name) + "=" + v);
    std::vector<char*> envp;
    for (std::string& e : envs)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string binary = ORVANE_BINARY;
    std::vector<std::string> words = args;
    std::vector<char*> argv = {binary.data()};
    for (std::string& a : words)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    ProgramRun run;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0)
        run.status = waitFor(pid, timeoutMs);
    posix_spawn_file_actions_destroy(&actions);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

} // namespace orvane::test
