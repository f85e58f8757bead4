#include "support/orvaneprocess.h"

#include "support/olad.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace orvane::test {

static long long modifiedNs(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    return (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

static std::vector<std::string> environment(const TempDir& root, const TempDir& config,
                                            const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    // The tester's own language never reaches the program: it speaks English
    // unless a test asks for another.
    auto ours = [](const std::string& s) {
        for (const char* name : {"ORVANE_", "XDG_CONFIG_HOME=", "QT_QPA_PLATFORM=", "LANG=",
                                 "LANGUAGE=", "LC_ALL=", "LC_MESSAGES="})
            if (s.rfind(name, 0) == 0)
                return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!ours(*e))
            env.push_back(*e);
    env.push_back("LANG=C.UTF-8");
    env.push_back("ORVANE_ROOT=" + root.path());
    env.push_back("XDG_CONFIG_HOME=" + config.path());
    env.push_back("ORVANE_NONINTERACTIVE=1");
    env.push_back("ORVANE_DMX_PORT=" + config.path() + "/no-such-port");
    env.push_back("ORVANE_PIPE_DIR=" + config.path() + "/pipes");
    env.push_back("QT_QPA_PLATFORM=offscreen");
    for (const std::string& e : extra) {
        std::string name = e.substr(0, e.find('=') + 1);
        std::erase_if(env, [&](const std::string& have) { return have.rfind(name, 0) == 0; });
        env.push_back(e);
    }
    return env;
}

OrvaneProcess::OrvaneProcess(const TempDir& root, const TempDir& config,
                             std::vector<std::string> args, std::vector<std::string> env,
                             std::vector<std::string> prefix)
    : m_config(config.path()), m_stderr(config.path() + "/stderr.txt") {
    m_profileTime = modifiedNs(profilePath());
    std::vector<std::string> envs = environment(root, config, env);
    std::vector<char*> envp;
    for (std::string& e : envs)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string binary = ORVANE_BINARY;
    std::vector<char*> argv;
    for (std::string& p : prefix)
        argv.push_back(p.data());
    argv.push_back(binary.data());
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    // A network of its own: the program's IP device server listens on every
    // address, which must never be the machine's real network. A test that
    // already runs in a private one (its olad in it) keeps the program there.
    bool ownNetwork = !inPrivateNetworkNamespace();
    m_pid = ::fork();
    if (m_pid == 0) {
        int err = ::open(m_stderr.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        ::dup2(err, 2);
        ::dup2(in, 0);
        if (ownNetwork && ::unshare(CLONE_NEWNET) != 0) {
            static const char msg[] = "test: no network namespace for orvane\n";
            [[maybe_unused]] ssize_t n = ::write(2, msg, sizeof msg - 1);
            ::_exit(126);
        }
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
}

OrvaneProcess::~OrvaneProcess() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

std::string OrvaneProcess::profilePath() const {
    return m_config + "/orvane/profile.ini";
}

bool OrvaneProcess::waitForProfile(const std::string& text, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (modifiedNs(profilePath()) != m_profileTime &&
            readFile(profilePath()).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int OrvaneProcess::terminate(int signal, int timeoutMs) {
    if (m_pid <= 0)
        return -1;
    ::kill(m_pid, signal);
    return wait(timeoutMs);
}

bool OrvaneProcess::waitForStderr(const std::string& text, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (readFile(m_stderr).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int OrvaneProcess::wait(int timeoutMs) {
    if (m_pid <= 0)
        return -1;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

} // namespace orvane::test
