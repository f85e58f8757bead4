// The command line's "--" options, taken out before the historic STEP= and
// SHOW= words, which reach the start-up exactly as before.

#include "startup/commandoptions.h"
#include "startup/startup.h"

#include <gtest/gtest.h>

#include <regex>

using namespace orvane;

namespace {

using Words = std::vector<std::string>;

struct OptionCase {
    Words args;
    CommandAction action;
    Words words = {};
    std::optional<std::string> root = {};
    std::optional<std::string> port = {};
    std::optional<std::string> check = {};
    std::string error = {};
};

std::string joined(const Words& w) {
    std::string s;
    for (const std::string& a : w)
        s += "[" + a + "]";
    return s;
}

} // namespace

TEST(CommandOptions, TakesTheOptionsAndLeavesEveryOtherWord) {
    using A = CommandAction;
    const OptionCase cases[] = {
        {{}, A::Run},
        {{"STEP=5", "SHOW=My", "show"}, A::Run, {"STEP=5", "SHOW=My", "show"}},
        {{"/STEP=5", "/SHOW=x"}, A::Run, {"/STEP=5", "/SHOW=x"}},
        {{"--root", "/srv/shows", "SHOW=x"}, A::Run, {"SHOW=x"}, "/srv/shows"},
        {{"--root=/r", "--port=/dev/ttyUSB1", "STEP=3"}, A::Run, {"STEP=3"}, "/r", "/dev/ttyUSB1"},
        {{"--port", "/dev/ttyACM0"}, A::Run, {}, {}, "/dev/ttyACM0"},
        // The show name runs to the end of the line, options and all.
        {{"SHOW=a", "--help", "-x"}, A::Run, {"SHOW=a", "--help", "-x"}},
        {{"--", "--weird", "STEP=1"}, A::Run, {"--weird", "STEP=1"}},
        {{"-"}, A::Run, {"-"}},
        // Qt's own options pass through, with their values.
        {{"-platform", "offscreen", "STEP=2"}, A::Run, {"-platform", "offscreen", "STEP=2"}},
        {{"--platform=offscreen", "-reverse"}, A::Run, {"--platform=offscreen", "-reverse"}},
        {{"--check", "demo"}, A::Check, {}, {}, {}, "demo"},
        {{"--root", "/r", "--check=My show"}, A::Check, {}, "/r", {}, "My show"},
        {{"-h"}, A::Help},
        {{"--help", "STEP=3"}, A::Help, {"STEP=3"}},
        {{"--check", "x", "--help"}, A::Help, {}, {}, {}, "x"},
        {{"--version", "--check", "x"}, A::Version, {}, {}, {}, "x"},
        {{"--version", "--help"}, A::Version},
        {{"--bogus"}, A::Error, {}, {}, {}, {}, "unknown option '--bogus'"},
        {{"-x", "STEP=1"}, A::Error, {}, {}, {}, {}, "unknown option '-x'"},
        {{"--help", "--bogus"}, A::Error, {}, {}, {}, {}, "unknown option '--bogus'"},
        {{"--root"}, A::Error, {}, {}, {}, {}, "option '--root' needs a value"},
        {{"--check="}, A::Error, {}, {}, {}, {}, "option '--check' needs a value"},
        {{"-style"}, A::Error, {}, {}, {}, {}, "option '-style' needs a value"},
        {{"--check", "demo", "STEP=1"},
         A::Error,
         {},
         {},
         {},
         {},
         "'--check' takes one show name; unexpected 'STEP=1'"},
    };
    for (const OptionCase& c : cases) {
        CommandOptions o = parseCommandOptions(c.args);
        SCOPED_TRACE(joined(c.args));
        EXPECT_EQ(o.action, c.action);
        EXPECT_EQ(o.error, c.error);
        if (c.action == CommandAction::Error)
            continue;
        EXPECT_EQ(o.words, c.words);
        EXPECT_EQ(o.root, c.root);
        EXPECT_EQ(o.port, c.port);
        EXPECT_EQ(o.checkShow, c.check);
    }
}

TEST(CommandOptions, TheHistoricWordsReachTheStartUpAsBefore) {
    // What is left is joined and read exactly as the whole command line was.
    CommandOptions o = parseCommandOptions({"--root", "/r", "STEP=12", "SHOW=My", "--odd", "show"});
    StartOptions start = parseCommandLine([&] {
        std::string t;
        for (const std::string& w : o.words)
            t += (t.empty() ? "" : " ") + w;
        return t;
    }());
    EXPECT_EQ(start.startStep, 12);
    EXPECT_EQ(start.show, "My --odd show");
}

TEST(CommandOptions, VersionAndHelpTexts) {
    EXPECT_TRUE(std::regex_match(orvaneVersion(), std::regex(R"(0\.\d+\.\d+)"))) << orvaneVersion();
    EXPECT_EQ(versionText(), std::string("orvane ") + orvaneVersion() + "\n");
    std::string help = helpText();
    for (const char* word : {"--root DIR", "--port DEVICE", "--check SHOW", "--help", "--version",
                             "STEP=n", "SHOW=name", "status 0 clean, 1 problems"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    EXPECT_EQ(usageErrorText("unknown option '--x'"),
              "orvane: unknown option '--x'\nTry 'orvane --help' for more information.\n");
}
