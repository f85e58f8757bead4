// Start-up of the real program to its first DMX frame on the line: from the
// process start until the first bytes reach a pseudo-terminal standing in for
// the interface. The show opens from the chooser's last show (no chained
// start, whose output waits 5 s on purpose). English and French runs
// alternate: the difference is what loading the translation costs.

#include "benchutil.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

static double firstFrameOnce(const std::string& root, const std::string& config,
                             const char* language) {
    orvane::test::PtyPair pty;
    if (!pty.ok())
        return -1;
    setenv("ORVANE_ROOT", root.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("ORVANE_NONINTERACTIVE", "1", 1);
    setenv("ORVANE_DMX_PORT", pty.slavePath().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::filesystem::create_directories(config + "/orvane");
    orvane::test::writeFile(config + "/orvane/profile.ini",
                            std::string("[last]\r\nshowname=demo\r\n[settings]\r\nlanguage=") +
                                language + "\r\n");
    const char* argv[] = {ORVANE_BINARY, nullptr};
    double t0 = bench::nowMicros();
    pid_t pid = 0;
    posix_spawn_file_actions_t quiet; // the program's messages are not figures
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    int failed =
        posix_spawn(&pid, ORVANE_BINARY, &quiet, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (failed)
        return -1;
    double first = -1;
    pollfd p{pty.master(), POLLIN, 0};
    while (bench::nowMicros() - t0 < 10e6) {
        if (poll(&p, 1, 100) > 0 && (p.revents & POLLIN) && !pty.drain().empty()) {
            first = bench::nowMicros() - t0;
            break;
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return first / 1000.0;
}

int main() {
    orvane::test::TempDir root, config;
    std::filesystem::copy(std::string(ORVANE_SOURCE_DIR) + "/demo/demo", root.file("demo"),
                          std::filesystem::copy_options::recursive);
    std::vector<double> english, french;
    for (int i = 0; i < 7; ++i) {
        english.push_back(firstFrameOnce(root.path(), config.path(), "en"));
        french.push_back(firstFrameOnce(root.path(), config.path(), "fr"));
    }
    bench::figure("app_startup_to_first_frame_p50", bench::percentile(english, 50), "ms");
    bench::figure("app_startup_to_first_frame_max", bench::percentile(english, 100), "ms");
    bench::figure("app_startup_to_first_frame_french_p50", bench::percentile(french, 50), "ms");
    bench::figure("app_startup_to_first_frame_french_max", bench::percentile(french, 100), "ms");
    return 0;
}
