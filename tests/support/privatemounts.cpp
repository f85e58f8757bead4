#include "support/privatemounts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace orvane::test {

namespace {

constexpr const char* kMarker = "ORVANE_TEST_PRIVATE_MOUNTS";

int runAgainUnshared(const std::string& filter) {
    char exe[4096];
    ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return -1;
    std::string self(exe, size_t(n));
    std::string gtestFilter = "--gtest_filter=" + filter;
    std::vector<std::string> args = {"unshare", "-m", "--propagation",
                                     "private", self, gtestFilter};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    env.push_back(std::string(kMarker) + "=1");
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "unshare", nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void skipWithoutRoot() {
    GTEST_SKIP() << "needs root for a mount namespace";
}

} // namespace

bool inPrivateMounts() {
    if (std::getenv(kMarker))
        return true;
    if (::geteuid() != 0) {
        skipWithoutRoot();
        return false;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    EXPECT_EQ(runAgainUnshared(name), 0) << name << " failed in its own mount namespace";
    return false;
}

bool mountTmpfs(const std::string& folder, size_t bytes) {
    std::string options = "size=" + std::to_string(bytes);
    return ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool bindReadOnly(const std::string& folder) {
    return ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) ==
               0;
}

} // namespace orvane::test
