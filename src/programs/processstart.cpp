#include "programs/processstart.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvane {

std::vector<std::string> shellCommand(const std::string& commandLine) {
    return {"/bin/sh", "-c", commandLine};
}

std::string executablePath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, size_t(n)) : std::string();
}

// In the grandchild, between fork and exec: async-signal-safe calls only.
[[noreturn]] static void execDetached(char* const* argv) {
    int in = ::open("/dev/null", O_RDONLY);
    if (in >= 0 && in != STDIN_FILENO)
        ::dup2(in, STDIN_FILENO);
    ::syscall(SYS_close_range, 3u, ~0u, 0u);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::execv(argv[0], argv);
    ::_exit(127);
}

bool DetachedProcessStarter::startDetached(const std::vector<std::string>& args) {
    if (args.empty())
        return false;
    // Everything the child needs is built before the fork.
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::setsid();
        pid_t grandchild = ::fork();
        if (grandchild == 0)
            execDetached(argv.data());
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace orvane
