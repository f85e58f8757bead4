// The real program in both languages: its prompts on stderr, the system's
// reasons it quotes, --help and --check follow the setting "language", else
// the locale; the show file it saves is the same byte for byte whatever the
// language.

#include "support/craftedstep.h"
#include "support/orvaneprocess.h"
#include "support/runprogram.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <locale.h>
#include <sys/stat.h>

using namespace orvane::test;

namespace {

struct LanguageRun {
    const char* name;
    const char* setting; // the profile's language=, or nothing
    std::vector<std::string> env;
    bool french;
};

const LanguageRun kRuns[] = {
    {"setting fr under the C locale", "fr", {"LANG=C.UTF-8"}, true},
    {"a French locale", "", {"LANG=fr_FR.UTF-8", "LC_ALL=fr_FR.UTF-8"}, true},
    {"LANGUAGE naming French", "", {"LANG=en_GB.UTF-8", "LANGUAGE=fr"}, true},
    {"setting en under a French locale", "en", {"LC_ALL=fr_FR.UTF-8"}, false},
    {"the C locale", "", {"LC_ALL=C"}, false},
    {"the C locale hides LANGUAGE", "", {"LC_ALL=C", "LANGUAGE=fr"}, false},
};

bool frenchLocaleAvailable() {
    locale_t l = ::newlocale(LC_ALL_MASK, "fr_FR.UTF-8", locale_t(nullptr));
    if (l)
        ::freelocale(l);
    return l != nullptr;
}

std::string profile(const char* setting) {
    std::string text = "[last]\r\nshowname=demo\r\n";
    if (*setting)
        text += "[settings]\r\nlanguage=" + std::string(setting) + "\r\n";
    return text;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(ProcessLanguage, PromptsFollowTheSettingThenTheLocaleAndTheShowFileStaysTheSame) {
    if (!frenchLocaleAvailable())
        GTEST_SKIP() << "fr_FR.UTF-8 is not generated on this machine (scripts/install-deps.sh)";
    std::string firstShowFile;
    for (const LanguageRun& run : kRuns) {
        TempDir root, config;
        ::mkdir(root.file("demo").c_str(), 0755);
        writeFile(root.file("demo/dmx.ini"), craftedShowFile() + "4$name=Entrée des artistes\r\n");
        ::mkdir(config.file("orvane").c_str(), 0755);
        writeFile(config.file("orvane/profile.ini"), profile(run.setting));
        // Not a chained start: the line is tried at once, and fails.
        OrvaneProcess p(root, config, {}, run.env);
        ASSERT_TRUE(p.waitForProfile("stepnum=0")) << run.name << readFile(p.stderrPath());
        ASSERT_EQ(p.terminate(SIGTERM), 0) << run.name;
        std::string err = readFile(p.stderrPath());
        std::string port = config.file("no-such-port");
        if (run.french) {
            EXPECT_TRUE(contains(err, "orvane: Impossible d'ouvrir l'interface DMX " + port +
                                          " : Aucun fichier ou dossier de ce type\n"))
                << run.name << "\n"
                << err;
        } else {
            EXPECT_TRUE(contains(err, "orvane: Cannot open the DMX interface " + port +
                                          ": No such file or directory\n"))
                << run.name << "\n"
                << err;
        }
        std::string saved = readFile(root.file("demo/dmx.ini"));
        if (firstShowFile.empty())
            firstShowFile = saved;
        EXPECT_EQ(saved, firstShowFile) << run.name;
    }
    EXPECT_TRUE(contains(firstShowFile, "\r\n4$name=Entrée des artistes\r\n"));
}

TEST(ProcessLanguage, HelpUsageErrorsAndTheCheckSpeakTheLanguageWithoutADisplay) {
    TempDir root, config;
    ::mkdir(config.file("orvane").c_str(), 0755);
    ::mkdir(root.file("gala").c_str(), 0755);
    writeFile(root.file("gala/dmx.ini"), "[GLOBAL]\r\nmanualstep=1\r\n3$name=x\r\nnot a line\r\n");
    const std::string where = "ORVANE_ROOT=" + root.path();
    const std::string home = "XDG_CONFIG_HOME=" + config.path();
    struct Case {
        const char* setting;
        std::vector<std::string> env;
        const char* usage;
        const char* unknownOption;
        const char* noShow;
    } cases[] = {
        {"", {"LC_ALL=C"}, "Usage: orvane ", "orvane: unknown option '-q'\n", "orvane: no show"},
        {"fr", {"LC_ALL=C"}, "Usage : orvane ", nullptr, "orvane: pas de spectacle"},
        {"", {"LANG=fr_FR.UTF-8"}, "Usage : orvane ", nullptr, "orvane: pas de spectacle"},
        {"en",
         {"LANG=fr_FR.UTF-8"},
         "Usage: orvane ",
         "orvane: unknown option '-q'\n",
         "orvane: no show"},
    };
    std::vector<std::string> reports;
    for (const Case& c : cases) {
        writeFile(config.file("orvane/profile.ini"),
                  *c.setting ? "[settings]\r\nlanguage=" + std::string(c.setting) + "\r\n" : "");
        std::vector<std::string> env = c.env;
        env.push_back(where);
        env.push_back(home);
        std::string name = std::string("setting '") + c.setting + "' " + c.env[0];
        ProgramRun help = runOrvane({"--help"}, env);
        EXPECT_EQ(help.status, 0) << name;
        EXPECT_EQ(help.out.rfind(c.usage, 0), 0u) << name << "\n" << help.out;
        ProgramRun wrong = runOrvane({"-q"}, env);
        EXPECT_EQ(wrong.status, 2) << name;
        if (c.unknownOption)
            EXPECT_EQ(wrong.err.rfind(c.unknownOption, 0), 0u) << name << "\n" << wrong.err;
        else
            EXPECT_EQ(wrong.err.find("unknown option"), std::string::npos) << name << wrong.err;
        ProgramRun missing = runOrvane({"--check", "nope"}, env);
        EXPECT_EQ(missing.status, 2) << name;
        EXPECT_EQ(missing.err.rfind(c.noShow, 0), 0u) << name << "\n" << missing.err;
        // The same problems, in the operator's words, and the same exit status.
        ProgramRun check = runOrvane({"--check", "gala"}, env);
        EXPECT_EQ(check.status, 1) << name << check.err;
        EXPECT_NE(check.out.find("\"not a line\""), std::string::npos) << name << check.out;
        reports.push_back(check.out);
    }
    auto lines = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
    EXPECT_EQ(lines(reports[1]), lines(reports[0]));
    EXPECT_NE(reports[1], reports[0]) << "the French report is not translated";
    EXPECT_EQ(reports[2], reports[1]);
    EXPECT_EQ(reports[3], reports[0]);
}
