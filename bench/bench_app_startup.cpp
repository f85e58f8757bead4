// Start-up time of the real program on the demo show: from the process start
// to the start step being selected (the last step of the main window's
// initialisation, after the window was shown), seen as the user profile
// receiving the remembered step.

#include "benchutil.h"
#include "support/tempdir.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

static double startOnce(const std::string& root, const std::string& config) {
    setenv("ORVANE_ROOT", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("ORVANE_NONINTERACTIVE", "1", 1);
    setenv("ORVANE_DMX_PORT", "/nonexistent/orvane-bench", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string profile = config + "/orvane/profile.ini";
    std::filesystem::remove(profile);
    const char* argv[] = {ORVANE_BINARY, "SHOW=demo", nullptr};
    double t0 = bench::nowMicros();
    pid_t pid = 0;
    if (posix_spawn(&pid, ORVANE_BINARY, nullptr, nullptr, const_cast<char**>(argv), environ))
        return -1;
    double shown = -1;
    while (bench::nowMicros() - t0 < 10e6) {
        if (orvane::test::readFile(profile).find("stepnum") != std::string::npos) {
            shown = bench::nowMicros() - t0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return shown / 1000.0;
}

int main() {
    orvane::test::TempDir root, config;
    std::filesystem::copy(std::string(ORVANE_SOURCE_DIR) + "/demo/demo", root.file("demo"),
                          std::filesystem::copy_options::recursive);
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(startOnce(root.path(), config.path()));
    bench::figure("app_startup_to_window_p50", bench::percentile(runs, 50), "ms");
    bench::figure("app_startup_to_window_max", bench::percentile(runs, 100), "ms");
    return 0;
}
