#include "support/virtualdisplay.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace orvane::test {

namespace {

bool executable(const char* path) {
    return ::access(path, X_OK) == 0;
}

// Starts argv with fd 1 going to `out` (or /dev/null) and everything else quiet.
pid_t spawn(const std::vector<std::string>& args, int out, int extraFd,
            const std::vector<std::string>& extraEnv) {
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e)
        envs.emplace_back(*e);
    for (const std::string& e : extraEnv) {
        std::string name = e.substr(0, e.find('=') + 1);
        std::erase_if(envs, [&](const std::string& have) { return have.rfind(name, 0) == 0; });
        envs.push_back(e);
    }
    std::vector<char*> envp, argv;
    for (std::string& e : envs)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> copy = args;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (extraFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Reads what arrives on fd until it closes or timeoutMs pass.
std::string readAll(int fd, int timeoutMs, bool untilNewline) {
    std::string out;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buf[256];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, size_t(n));
        if (untilNewline && out.find('\n') != std::string::npos)
            break;
    }
    return out;
}

} // namespace

bool VirtualDisplay::available() {
    return executable("/usr/bin/Xvfb") && executable("/usr/bin/xdotool");
}

VirtualDisplay::VirtualDisplay() {
    int fds[2];
    if (!available() || ::pipe2(fds, O_CLOEXEC) != 0)
        return;
    // The server picks a free display number and writes it on fd 3.
    m_server =
        spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"}, -1,
              fds[1], {});
    ::close(fds[1]);
    std::string number = m_server > 0 ? readAll(fds[0], 10000, true) : std::string();
    ::close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == '\r'))
        number.pop_back();
    if (!number.empty())
        m_display = ":" + number;
}

VirtualDisplay::~VirtualDisplay() {
    if (m_server <= 0)
        return;
    ::kill(m_server, SIGTERM);
    ::waitpid(m_server, nullptr, 0);
}

std::optional<std::string> VirtualDisplay::xdotool(const std::vector<std::string>& args) const {
    int fds[2];
    if (!ok() || ::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid = spawn(argv, fds[1], -1, {"DISPLAY=" + m_display});
    ::close(fds[1]);
    std::string out = pid > 0 ? readAll(fds[0], 10000, false) : std::string();
    ::close(fds[0]);
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return std::nullopt;
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
        out.pop_back();
    return out;
}

std::optional<std::string> VirtualDisplay::waitForWindow(const std::string& titlePattern,
                                                         int timeoutMs) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        std::optional<std::string> ids =
            xdotool({"search", "--onlyvisible", "--name", titlePattern});
        if (ids && !ids->empty())
            return ids->substr(0, ids->find('\n'));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

bool VirtualDisplay::visible(const std::string& titlePattern) const {
    std::optional<std::string> ids = xdotool({"search", "--onlyvisible", "--name", titlePattern});
    return ids && !ids->empty();
}

std::optional<VirtualDisplay::Geometry> VirtualDisplay::geometry(const std::string& window) const {
    std::optional<std::string> out = xdotool({"getwindowgeometry", "--shell", window});
    if (!out)
        return std::nullopt;
    Geometry g;
    int found = 0;
    std::istringstream lines(*out);
    for (std::string line; std::getline(lines, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        int* field = key == "X"        ? &g.x
                     : key == "Y"      ? &g.y
                     : key == "WIDTH"  ? &g.width
                     : key == "HEIGHT" ? &g.height
                                       : nullptr;
        const char* first = line.data() + eq + 1;
        const char* last = line.data() + line.size();
        if (field && std::from_chars(first, last, *field).ec == std::errc())
            ++found;
    }
    return found == 4 ? std::optional<Geometry>(g) : std::nullopt;
}

bool VirtualDisplay::click(const std::string& window, int x, int y) const {
    return xdotool({"mousemove", "--sync", "--window", window, std::to_string(x), std::to_string(y),
                    "click", "1"})
        .has_value();
}

bool VirtualDisplay::key(const std::string& window, const std::string& keysym) const {
    return xdotool({"key", "--window", window, keysym}).has_value();
}

} // namespace orvane::test
