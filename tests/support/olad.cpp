#include "support/olad.h"

#include "support/tempdir.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sched.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace orvane::test {

namespace {

// Every plugin olad 0.10 knows; a plugin missing here would start with its
// defaults, which enabledPluginFiles() then shows.
const char* const kPlugins[] = {
    "artnet",  "dummy",   "e131",    "espnet",           "ftdidmx", "gpio",     "karate",
    "kinet",   "milinst", "opendmx", "openpixelcontrol", "osc",     "pathport", "renard",
    "sandnet", "shownet", "spi",     "stageprofi",       "uartdmx", "usbdmx",   "usbserial",
};

// The full path of a program on PATH, or "" (looked up before a fork: the
// child only calls what is safe there).
std::string toolPath(const char* tool) {
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    std::stringstream dirs(path + ":/usr/sbin:/usr/bin");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (::access((dir + "/" + tool).c_str(), X_OK) == 0)
            return dir + "/" + tool;
    return "";
}

// Starts program with argv, stdout and stderr going to log; the child drops to
// uid/gid first when given.
pid_t spawn(const std::string& program, std::vector<std::string> args, const std::string& log,
            const passwd* user = nullptr) {
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    uid_t uid = user ? user->pw_uid : 0;
    gid_t gid = user ? user->pw_gid : 0;
    pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    if (user && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
        ::_exit(126);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

ino_t netNamespaceOf(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 ? st.st_ino : 0;
}

bool loopbackUp() {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
    ifr.ifr_flags |= IFF_UP | IFF_RUNNING;
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
    ::close(fd);
    return up;
}

bool acceptsConnections(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(uint16_t(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    ::close(fd);
    return ok;
}

// Waits for pid to end; true when it did within timeoutMs.
bool reap(pid_t pid, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void endProcess(pid_t pid, int signal) {
    ::kill(pid, signal);
    if (!reap(pid, 10000)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

std::vector<uint8_t> channelValues(const std::string& text) {
    std::vector<uint8_t> values;
    std::stringstream in(text);
    for (std::string v; std::getline(in, v, ',');) {
        unsigned value = 0;
        std::from_chars(v.data(), v.data() + v.size(), value);
        values.push_back(uint8_t(value));
    }
    return values;
}

// olad keeps its configuration up to date: the folder and its files are its own.
bool giveTo(const std::string& folder, uid_t uid, gid_t gid) {
    bool ok = ::chown(folder.c_str(), uid, gid) == 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        ok = ok && ::chown(entry.path().c_str(), uid, gid) == 0;
    return ok && !ec;
}

} // namespace

std::string missingOlaTools() {
    std::string missing;
    for (const char* tool : {"olad", "ola_recorder"})
        if (toolPath(tool).empty())
            missing += std::string(missing.empty() ? "" : ", ") + tool;
    if (!::getpwnam("olad"))
        missing += std::string(missing.empty() ? "" : ", ") + "the olad user";
    return missing;
}

NetworkNamespace::NetworkNamespace() {
    m_original = ::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
    if (m_original < 0 || ::unshare(CLONE_NEWNET) != 0) {
        m_error = std::string("cannot create a network namespace: ") + std::strerror(errno);
        return;
    }
    if (!loopbackUp()) {
        m_error = std::string("cannot bring up lo in the new namespace: ") + std::strerror(errno);
        return;
    }
    m_ok = true;
}

NetworkNamespace::~NetworkNamespace() {
    if (m_original < 0)
        return;
    ::setns(m_original, CLONE_NEWNET);
    ::close(m_original);
}

bool inPrivateNetworkNamespace() {
    // Process 1's namespace may be out of sight from inside a new one; when it
    // can be seen, it must not be ours.
    ino_t own = netNamespaceOf("/proc/thread-self/ns/net");
    ino_t first = netNamespaceOf("/proc/1/ns/net");
    if (own == 0 || own == first)
        return false;
    // No interface but loopback: nothing started here can reach a network.
    struct if_nameindex* names = ::if_nameindex();
    bool onlyLoopback = names != nullptr;
    for (struct if_nameindex* n = names; n && n->if_index != 0; ++n)
        onlyLoopback = onlyLoopback && std::strcmp(n->if_name, "lo") == 0;
    if (names)
        ::if_freenameindex(names);
    return onlyLoopback;
}

OladProcess::OladProcess(const std::string& folder, int rpcPort)
    : m_folder(folder), m_config(folder + "/olaconf"), m_port(rpcPort) {
    if (!inPrivateNetworkNamespace()) {
        m_error = "refusing to start olad outside a private network namespace";
        return;
    }
    const passwd* user = ::getpwnam("olad");
    if (!user) {
        m_error = "no olad user";
        return;
    }
    if (!writeConfig() || ::chmod(folder.c_str(), 0755) != 0 ||
        !giveTo(m_config, user->pw_uid, user->pw_gid)) {
        m_error = "cannot write olad's configuration in " + m_config;
        return;
    }
    m_pid = spawn(toolPath("olad"),
                  {"olad", "--config-dir", m_config, "--rpc-port", std::to_string(rpcPort),
                   "--no-http", "--no-register-with-dns-sd", "--log-level", "3"},
                  folder + "/olad.log", user);
    if (m_pid < 0 || !waitReady(10000))
        m_error = "olad did not start: " + this->log();
}

OladProcess::~OladProcess() {
    stop();
}

bool OladProcess::writeConfig() {
    std::error_code ec;
    std::filesystem::create_directories(m_config, ec);
    if (ec)
        return false;
    for (const char* plugin : kPlugins)
        writeFile(m_config + "/ola-" + plugin + ".conf", "enabled = false\n");
    return true;
}

bool OladProcess::waitReady(int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        if (acceptsConnections(m_port))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool OladProcess::stop() {
    if (m_pid <= 0)
        return true;
    ::kill(m_pid, SIGTERM);
    bool ended = reap(m_pid, 10000);
    if (!ended) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
    return ended;
}

std::vector<std::string> OladProcess::enabledPluginFiles() const {
    std::vector<std::string> enabled;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(m_config, ec)) {
        std::string name = entry.path().filename().string();
        if (readFile(entry.path().string()).find("enabled = true") != std::string::npos)
            enabled.push_back(name);
    }
    return enabled;
}

std::string OladProcess::log() const {
    return readFile(m_folder + "/olad.log");
}

OlaRecorder::OlaRecorder(const std::string& file, unsigned universe) : m_file(file) {
    m_pid = spawn(toolPath("ola_recorder"),
                  {"ola_recorder", "-r", file, "-u", std::to_string(universe)}, file + ".log");
}

OlaRecorder::~OlaRecorder() {
    if (m_pid > 0)
        endProcess(m_pid, SIGKILL);
}

std::vector<std::vector<uint8_t>> OlaRecorder::stop() {
    if (m_pid <= 0)
        return {};
    endProcess(m_pid, SIGINT);
    m_pid = -1;
    // "OLA Show", then a line per frame ("<universe> v,v,...") with the
    // milliseconds since the previous frame on the lines between.
    std::vector<std::vector<uint8_t>> frames;
    std::stringstream in(readFile(m_file));
    for (std::string line; std::getline(in, line);) {
        std::size_t blank = line.find(' ');
        if (blank != std::string::npos && line != "OLA Show")
            frames.push_back(channelValues(line.substr(blank + 1)));
    }
    return frames;
}

} // namespace orvane::test
