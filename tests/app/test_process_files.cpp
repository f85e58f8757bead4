// The real program on files and folders that go wrong: a French locale,
// read-only and unreadable show files, damaged ones, shows that do not exist
// or lie outside the root, a chained start from the start step, a signal while
// a message box is open, and Windows-1252 captions.

#include "support/orvaneprocess.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <functional>
#include <locale.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace orvane::test;

namespace {

const std::vector<std::string> kEnglish = {"LC_ALL=C.UTF-8", "LANG=C.UTF-8"};

std::string makeShow(const TempDir& root, const std::string& name, const std::string& dmxIni) {
    std::string folder = root.file(name);
    ::mkdir(folder.c_str(), 0755);
    if (!dmxIni.empty())
        writeFile(folder + "/dmx.ini", dmxIni);
    return folder;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs the program on a show until it has started on a step, then ends it
// with SIGTERM. Returns the exit status.
int startAndTerminate(const TempDir& root, const TempDir& config, const std::string& show, int step,
                      std::vector<std::string> env = kEnglish,
                      std::vector<std::string> prefix = {}) {
    OrvaneProcess p(root, config, {"STEP=" + std::to_string(step), "SHOW=" + show}, env, prefix);
    if (!p.waitForProfile("stepnum=" + std::to_string(step)))
        return -2;
    return p.terminate(SIGTERM);
}

bool localeAvailable(const char* name) {
    locale_t l = ::newlocale(LC_ALL_MASK, name, locale_t(nullptr));
    if (l)
        ::freelocale(l);
    return l != nullptr;
}

// Processes of this program whose environment names this root.
std::vector<pid_t> instancesOn(const std::string& root) {
    std::vector<pid_t> found;
    DIR* proc = ::opendir("/proc");
    while (const dirent* e = proc ? ::readdir(proc) : nullptr) {
        pid_t pid = pid_t(std::atoi(e->d_name));
        if (pid <= 0)
            continue;
        std::string base = "/proc/" + std::string(e->d_name);
        std::string cmdline = readFile(base + "/cmdline");
        std::string environ = readFile(base + "/environ");
        std::string status = readFile(base + "/status");
        if (cmdline.rfind(ORVANE_BINARY, 0) == 0 &&
            contains(environ, std::string("ORVANE_ROOT=") + root + '\0') &&
            !contains(status, "State:\tZ"))
            found.push_back(pid);
    }
    if (proc)
        ::closedir(proc);
    return found;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

TEST(ProcessFiles, AFrenchLocaleWritesTheSameShowFileByteForByte) {
    if (!localeAvailable("fr_FR.UTF-8"))
        GTEST_SKIP() << "fr_FR.UTF-8 is not generated on this machine (scripts/install-deps.sh)";
    const std::string show = "[GLOBAL]\r\nmanualstep=1\r\n"
                             "3$fadet=2.500000\r\n3$masteront=0.250000\r\n3$masterofft=1.5\r\n"
                             "3$autofade=0\r\n4$fadet=0.0019\r\n4$name=suivant\r\n";
    std::string written[2];
    const std::vector<std::string> envs[2] = {kEnglish, {"LC_ALL=fr_FR.UTF-8", "LANG=fr_FR.UTF-8"}};
    for (int i = 0; i < 2; ++i) {
        TempDir root, config;
        std::string folder = makeShow(root, "Gala", show);
        ASSERT_EQ(startAndTerminate(root, config, "Gala", 3, envs[i]), 0) << i;
        written[i] = readFile(folder + "/dmx.ini");
    }
    EXPECT_EQ(written[1], written[0]);
    for (const char* line : {"\r\n3$fadet=2.500000\r\n", "\r\n3$masteront=0.250000\r\n",
                             "\r\n3$masterofft=1.500000\r\n", "\r\n4$fadet=0.001900\r\n"})
        EXPECT_TRUE(contains(written[1], line)) << line;
    EXPECT_FALSE(contains(written[1], ","));
}

TEST(ProcessFiles, ASignalWithAReadOnlyShowFolderSaysWhyAndLeavesTheFile) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root for a mount namespace";
    TempDir root, config;
    const std::string show = "[GLOBAL]\r\nmanualstep=1\r\n0$name=keep me\r\n";
    std::string folder = makeShow(root, "ro", show);
    std::vector<std::string> readOnly = {
        "unshare",
        "-m",
        "--propagation",
        "private",
        "sh",
        "-c",
        "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && exec \"$@\"",
        folder};
    EXPECT_EQ(startAndTerminate(root, config, "ro", 0, kEnglish, readOnly), 1);
    std::string err = readFile(config.file("stderr.txt"));
    EXPECT_TRUE(contains(err, folder + "/dmx.ini: " + std::strerror(EROFS))) << err;
    EXPECT_EQ(readFile(folder + "/dmx.ini"), show);
}

TEST(ProcessFiles, TwoSavesKeepTheFirstAsBackup) {
    TempDir root, config;
    std::string original = "[GLOBAL]\r\nmanualstep=1\r\n2$name=first\r\n";
    std::string folder = makeShow(root, "Gala", original);
    ASSERT_EQ(startAndTerminate(root, config, "Gala", 2), 0);
    std::string firstSave = readFile(folder + "/dmx.ini");
    EXPECT_EQ(readFile(folder + "/dmx.ini.bak"), original);
    ASSERT_EQ(startAndTerminate(root, config, "Gala", 5), 0);
    EXPECT_EQ(readFile(folder + "/dmx.ini.bak"), firstSave);
    EXPECT_TRUE(contains(readFile(folder + "/dmx.ini"), "\r\n5$master=0\r\n"));
}

TEST(ProcessFiles, ShowFilesThatAreNoShowAreNeverReplaced) {
    std::mt19937 random(17);
    std::string garbage(8192, '\0');
    for (char& c : garbage) {
        c = char(random() & 0xFF);
        if (c == '[')
            c = ']'; // no section header: not one line can be a step's
    }
    TempDir root, config;
    std::string folder = makeShow(root, "noise", garbage);
    TempDir root2, config2;
    std::string fifoFolder = makeShow(root2, "fifo", "");
    ASSERT_EQ(::mkfifo((fifoFolder + "/dmx.ini").c_str(), 0644), 0);

    EXPECT_EQ(startAndTerminate(root, config, "noise", 0), 1);
    EXPECT_EQ(readFile(folder + "/dmx.ini"), garbage);
    EXPECT_TRUE(contains(readFile(config.file("stderr.txt")), "does not look like"));

    // A FIFO under the name neither hangs the start nor is replaced.
    EXPECT_EQ(startAndTerminate(root2, config2, "fifo", 0), 1);
    std::string err = readFile(config2.file("stderr.txt"));
    EXPECT_TRUE(
        contains(err, "Cannot read the show file " + fifoFolder + "/dmx.ini: not a regular file"))
        << err;
    struct stat st {};
    ASSERT_EQ(::lstat((fifoFolder + "/dmx.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(ProcessFiles, AShowThatIsNotThereOrOutsideTheRootIsNotOpened) {
    // A show folder beside the root, with a show file in it.
    TempDir outside;
    const std::string victim = "[GLOBAL]\r\nmanualstep=1\r\n1$name=not yours\r\n";
    writeFile(outside.file("dmx.ini"), victim);
    std::string besideRoot = "../" + outside.path().substr(outside.path().rfind('/') + 1);
    struct Case {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"SHOW=Nowhere"}, "does not exist"},
        {{"SHOW=" + besideRoot}, "refus"},
        {{"STEP=1", "SHOW=" + besideRoot}, "refus"},
        {{"SHOW="}, "refus"},
        {{"STEP=3"}, "no show selected"}, // the chooser, with no last show to open
    };
    for (const Case& c : cases) {
        TempDir root, config;
        makeShow(root, "Gala", "");
        OrvaneProcess p(root, config, c.args, kEnglish);
        EXPECT_EQ(p.wait(), 2) << c.args[0];
        EXPECT_TRUE(contains(readFile(p.stderrPath()), c.said)) << readFile(p.stderrPath());
        EXPECT_EQ(readFile(outside.file("dmx.ini")), victim);
        EXPECT_NE(::access(root.file("Nowhere").c_str(), F_OK), 0);
    }
}

TEST(ProcessFiles, AChainFromTheStartStepLeavesExactlyOneInstance) {
    TempDir root, config;
    std::string first = makeShow(root, "A",
                                 "[GLOBAL]\r\nmanualstep=1\r\n0$extra=CHAIN=B,2\r\n"
                                 "0$name=start\r\n");
    std::string second = makeShow(root, "B", "");
    OrvaneProcess p(root, config, {"STEP=0", "SHOW=A"}, kEnglish);
    ASSERT_EQ(p.wait(), 0) << readFile(p.stderrPath());
    // Saved before the new instance started: the file was written whole.
    std::string saved = readFile(first + "/dmx.ini");
    EXPECT_TRUE(contains(saved, "GLOBAL$manualstep=1\r\n"));
    EXPECT_TRUE(contains(saved, "\r\n0$extra=CHAIN=B,2\r\n"));

    std::vector<pid_t> running;
    ASSERT_TRUE(waitFor([&] {
        running = instancesOn(root.path());
        return !running.empty();
    }));
    EXPECT_EQ(running.size(), 1u);
    ASSERT_TRUE(waitFor([&] { return contains(readFile(p.profilePath()), "stepnum=2"); }));
    EXPECT_EQ(instancesOn(root.path()).size(), 1u);
    for (pid_t pid : running)
        ::kill(pid, SIGTERM);
    EXPECT_TRUE(waitFor([&] { return instancesOn(root.path()).empty(); }));
    EXPECT_TRUE(contains(readFile(second + "/dmx.ini"), "\r\n2$master=0\r\n"));
}

TEST(ProcessFiles, ASignalEndsTheProgramWhileAMessageBoxIsOpen) {
    TempDir root, config;
    std::string folder = makeShow(root, "Gala", "");
    std::vector<std::string> env = kEnglish;
    env.push_back("ORVANE_NONINTERACTIVE=0"); // real message boxes, offscreen
    OrvaneProcess p(root, config, {"STEP=4", "SHOW=Gala"}, env);
    // The missing DMX port is said during the start, with no box waiting there
    // (test_process_boxes.cpp has a signal while real boxes are open).
    ASSERT_TRUE(p.waitForStderr("Cannot open the DMX interface")) << readFile(p.stderrPath());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(p.terminate(SIGTERM), 0) << readFile(p.stderrPath());
    EXPECT_TRUE(contains(readFile(folder + "/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n"));
}

TEST(ProcessFiles, Windows1252CaptionsAreWrittenBackByteForByte) {
    TempDir root, config;
    const std::string name = "3$name=fond rouge \xE9t\xE9\\nPremier pas\x85\r\n";
    const std::string extra = "3$extra=VEDA=Caf\xE9\r\n";
    std::string folder = makeShow(root, "Gala", "[GLOBAL]\r\nmanualstep=1\r\n" + name + extra);
    ASSERT_EQ(startAndTerminate(root, config, "Gala", 3), 0);
    std::string written = readFile(folder + "/dmx.ini");
    EXPECT_TRUE(contains(written, "\r\n" + name)) << written.substr(0, 400);
    EXPECT_TRUE(contains(written, "\r\n" + extra));
}
