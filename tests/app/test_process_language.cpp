// The real program in both languages: its prompts on stderr, the system's
// reasons it quotes, --help and --check follow the setting "language", else
// the locale; the show file it saves is the same byte for byte whatever the
// language.

#include "support/craftedstep.h"
#include "support/orvaneprocess.h"
#include "support/runprogram.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

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
        OrvaneProcess p(root, config, {"STEP=4", "SHOW=demo"}, run.env);
        ASSERT_TRUE(p.waitForProfile("stepnum=4")) << run.name << readFile(p.stderrPath());
        ASSERT_EQ(p.terminate(SIGTERM), 0) << run.name;
        std::string err = readFile(p.stderrPath());
        std::string port = config.file("no-such-port");
        if (run.french) {
            EXPECT_TRUE(contains(err, kFrenchDmxMessage(port))) << run.name << "\n" << err;
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
