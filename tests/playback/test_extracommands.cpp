// The extra-command language, driven through a table of extra texts and what
// each one must send, start or set: processes, IP devices, the IP link, the
// chained start, switches and the shutter program.

#include "test_extracommands_util.h"

using namespace orvane;
using namespace orvane::test;

namespace {

using Argv = std::vector<std::string>;
using DeviceSends = std::vector<std::pair<int, std::string>>;

std::string padded(std::string s) {
    s.resize(20, ' ');
    return s;
}

struct OutsideCase {
    const char* name;
    std::string text;
    std::vector<Argv> started = {};
    DeviceSends devices = {};
    std::vector<std::string> link = {};
    std::vector<bool> colourReport = {};
    std::vector<std::string> calls = {};
    friend void PrintTo(const OutsideCase& c, std::ostream* os) { *os << c.name; }
};

const std::string kExe = "/opt/orvane/orvane";

std::vector<OutsideCase> outsideCases() {
    std::string twenty = "ABCDEFGHIJKLMNOPQRST";
    return {
        {"ExecRunsThroughTheShell", "EXEC=notepad", {{"/bin/sh", "-c", "notepad"}}},
        {"ExecTakesTheRestOfTheText",
         "EXEC=a b\r\nMISC1=ON",
         {{"/bin/sh", "-c", "a b\r\nMISC1=ON"}}},
        // Not at the start: still the text from its sixth character on.
        {"ExecNotAtTheStart", "MISC1=ON\r\nEXEC=ls", {{"/bin/sh", "-c", "=ON\r\nEXEC=ls"}}},
        {"ExecEmptyStartsNothing", "EXEC=", {}},
        {"VedaListSendsPaddedToEachDevice",
         "VEDA=[2;7]HELLO",
         {},
         {{2, padded("HELLO")}, {7, padded("HELLO")}}},
        {"VedaWithoutListSendsToAll", "VEDA=HELLO", {}, {{-1, padded("HELLO")}}},
        {"VedaFollowedByALineSendsNothing", "VEDA=HELLO\r\nSCREENUP=ON BSLIGHT=ON", {}, {}},
        // The rule is the length: a short second line is part of the message.
        {"VedaShortSecondLineIsSent", "VEDA=HI\r\nMISC1=ON", {}, {{-1, padded("HI\r\nMISC1=ON")}}},
        {"VedaExactlyTwenty", "VEDA=[4]" + twenty, {}, {{4, twenty}}},
        {"VedaTwentyOneSendsNothing", "VEDA=[4]" + twenty + "U", {}, {}},
        {"VedaWithoutClosingBracketSendsNothing", "VEDA=[1;3;5HELLO", {}, {}},
        {"VedaSemicolonAfterTheListEndsTheWalk",
         "VEDA=[2;7]A;B",
         {},
         {{2, padded("A;B")}, {7, padded("A;B")}}},
        {"VedaEmptyListIsDeviceZero", "VEDA=[]X", {}, {{0, padded("X")}}},
        {"VedaEmptyMessageIsTwentyBlanks", "VEDA=", {}, {{-1, padded("")}}},
        {"LinkTextCutAtCommaAndLine", "SUPERSCAN1=GO 1,2\r\nX", {}, {}, {"GO 1"}},
        {"LinkTextCutAtLineEnd", "SUPERSCAN1=GO\r\nA,B", {}, {}, {"GO"}},
        {"LinkTextAtMost1023",
         "SUPERSCAN1=" + std::string(2000, 'x'),
         {},
         {},
         {std::string(1023, 'x')}},
        // The colour keywords do not contain "SUPERSCAN1=": nothing is sent.
        {"ColourOnWinsOverOff",
         "SUPERSCAN1COLOR=ON SUPERSCAN1COLOR=OFF",
         {},
         {},
         {},
         {false, true}},
        {"ColourOff", "SUPERSCAN1COLOR=OFF", {}, {}, {}, {false}},
        {"ChainStartsTheProgramAndEnds",
         "CHAIN=Show2,5",
         {{kExe, "/STEP=5", "/SHOW=Show2"}},
         {},
         {},
         {},
         {"closeLine", "end(1)"}},
        {"ChainShowNameWithBlanks",
         "CHAIN=My Show,12\r\n",
         {{kExe, "/STEP=12", "/SHOW=My Show"}},
         {},
         {},
         {},
         {"closeLine", "end(1)"}},
        {"ChainNegativeStepOnlyCuts", "CHAIN=Show2,-1", {}},
        {"ChainWithoutCommaDoesNothing", "CHAIN=Show2", {}},
        {"ChainWithoutShowNameDoesNothing", "CHAIN=,3", {}},
        {"CaseMattersForKeywords", "exec=ls veda=HELLO chain=a,1 superscan1=x", {}},
        {"EveryKeywordActsOnce", "VEDA=[1]A VEDA=[2]B", {}, {{1, padded("A VEDA=[2]B")}}},
    };
}

class OutsideWorld : public ExtraFixture, public ::testing::WithParamInterface<OutsideCase> {};

TEST_P(OutsideWorld, SendsAndStartsWhatTheTextSays) {
    const OutsideCase& c = GetParam();
    run(c.text);
    EXPECT_EQ(processes.started, c.started);
    EXPECT_EQ(devices.sent, c.devices);
    EXPECT_EQ(link.sent, c.link);
    EXPECT_EQ(link.colourReport, c.colourReport);
    EXPECT_EQ(calls, c.calls);
}

INSTANTIATE_TEST_SUITE_P(Texts, OutsideWorld, ::testing::ValuesIn(outsideCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ChainCommandLine, IsTheExecutableWithStepAndShow) {
    EXPECT_EQ(chainCommandLine("/opt/orvane/orvane", 5, "Show2"),
              "/opt/orvane/orvane /STEP=5 /SHOW=Show2");
    // Joined with blanks, the started arguments give the same text back.
    Argv argv = {"/STEP=5", "/SHOW=Show2"};
    EXPECT_EQ(chainCommandLine("", 5, "Show2"), " " + argv[0] + " " + argv[1]);
}

TEST_F(ExtraFixture, LinkTextNeedsAConnectedLink) {
    link.isConnected = false;
    run("SUPERSCAN1=HELLO");
    EXPECT_TRUE(link.sent.empty());
}

TEST_F(ExtraFixture, ChainCutsTheTextForTheKeywordsAfterIt) {
    run("CHAIN=Show2,-1\r\nMISC1=ON");
    EXPECT_FALSE(controls.checked(1016));
    run("CHAIN=Show2\r\nMISC2=ON");
    EXPECT_TRUE(controls.checked(1017));
    // Keywords before CHAIN= in the order still see the whole text, the ones
    // after it only what stands before the comma.
    run("CHAIN=Show2,-1 VEDA=HI SUPERSCAN1=GO");
    EXPECT_EQ(devices.sent, (DeviceSends{{-1, padded("HI SUPERSCAN1=GO")}}));
    EXPECT_TRUE(link.sent.empty());
}

TEST_F(ExtraFixture, ChainAsksFirstAndStartsOnlyWhenAllowed) {
    std::vector<std::string> asked;
    bool allow = false;
    extra.services().beforeChain = [&](const std::string& show) {
        asked.push_back(show);
        calls.push_back("before");
        return allow;
    };
    run("CHAIN=../victim,3");
    run("CHAIN=,3");
    EXPECT_EQ(asked, (std::vector<std::string>{"../victim", ""}));
    EXPECT_TRUE(processes.started.empty());
    EXPECT_EQ(calls, (std::vector<std::string>{"before", "before"}));
    // Allowed: the show is saved (before) ahead of the line and the new instance.
    calls.clear();
    allow = true;
    run("CHAIN=Show2,5");
    EXPECT_EQ(calls, (std::vector<std::string>{"before", "closeLine", "end(1)"}));
    ASSERT_EQ(processes.started.size(), 1u);
    EXPECT_EQ(processes.started[0],
              (std::vector<std::string>{"/opt/orvane/orvane", "/STEP=5", "/SHOW=Show2"}));
}

TEST_F(ExtraFixture, VedaCountsCharactersOfTheShowsEncoding) {
    std::string accented;
    for (int i = 0; i < 20; ++i)
        accented += "\xC3\xA9"; // what the console shows: UTF-8
    session.store().setEncoding(TextEncoding::Windows1252);
    run("VEDA=[3]" + accented);
    ASSERT_EQ(devices.sent.size(), 1u);
    EXPECT_EQ(devices.sent[0].second, std::string(20, '\xE9'));
    session.store().setEncoding(TextEncoding::Utf8);
    run("VEDA=[3]" + accented);
    ASSERT_EQ(devices.sent.size(), 2u);
    EXPECT_EQ(devices.sent[1].second, accented);
    run("VEDA=[3]" + accented + "e");
    EXPECT_EQ(devices.sent.size(), 2u);
}

TEST_F(ExtraFixture, MissingServicesMakeCommandsDoNothing) {
    ExtraCommands bare(controls, session.store(), effects, ExtraServices{});
    bare.run("EXEC=x VEDA=y VP=z SUPERSCAN1=w SHUTTER=ON REPLAYDMX=r CHAIN=a,1", 0ms);
    bare.run("CHAIN=Show2,5", 0ms);
    EXPECT_TRUE(processes.started.empty());
    EXPECT_TRUE(calls.empty());
}

struct SwitchCase {
    std::string text;
    std::vector<int> checkedBefore;
    std::vector<int> checkedAfter;
};

class Switches : public ExtraFixture, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(Switches, SetCheckMarksWithoutTheClickAction) {
    const SwitchCase& c = GetParam();
    int clicks = 0;
    for (int id = 1012; id <= 1019; ++id) {
        controls.on(ControlEvent::Clicked, id, [&clicks] { ++clicks; });
        controls.setChecked(id, false);
    }
    for (int id : c.checkedBefore)
        controls.setChecked(id, true);
    run(c.text);
    std::vector<int> checked;
    for (int id = 1012; id <= 1019; ++id)
        if (controls.checked(id))
            checked.push_back(id);
    EXPECT_EQ(checked, c.checkedAfter) << c.text;
    EXPECT_EQ(clicks, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Switches,
    ::testing::Values(SwitchCase{"SMOKE=ON", {}, {1012}},
                      SwitchCase{"SMOKE=ON\r\nSMOKE=OFF", {}, {}},
                      SwitchCase{"SMOKE=OFF SMOKE=ON", {1012}, {}},
                      SwitchCase{"SCREENUP=ON SCREENDOWN=ON BSLIGHT=ON", {}, {1013, 1014, 1015}},
                      SwitchCase{
                          "MISC1=ON MISC2=ON MISC3=ON MISC4=ON", {}, {1016, 1017, 1018, 1019}},
                      SwitchCase{"MISC4=OFF BSLIGHT=OFF", {1015, 1016, 1019}, {1016}},
                      SwitchCase{"smoke=on Misc1=ON", {}, {}}, SwitchCase{"", {1012}, {1012}}));

struct ShutterCase {
    const char* name;
    std::map<std::string, bool> windows;
    std::string text;
    std::vector<std::string> pressed;
};

class Shutter : public ExtraFixture, public ::testing::WithParamInterface<ShutterCase> {};

TEST_P(Shutter, TogglesTheShutterProgramToTheWantedState) {
    windows.toggles = GetParam().windows;
    run(GetParam().text);
    EXPECT_EQ(windows.pressed, GetParam().pressed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Shutter,
    ::testing::Values(
        ShutterCase{"OnPressesWhenOpen", {{"Shutter -", false}}, "SHUTTER=ON", {"Shutter -"}},
        ShutterCase{"OnLeavesAClosedShutter", {{"Shutter -", true}}, "SHUTTER=ON", {}},
        ShutterCase{"OffPressesWhenClosed", {{"Shutter |", true}}, "SHUTTER=OFF", {"Shutter |"}},
        ShutterCase{"DashWindowFirst",
                    {{"Shutter -", true}, {"Shutter |", false}},
                    "SHUTTER=OFF",
                    {"Shutter -"}},
        // ON first, then OFF finds it checked and presses again.
        ShutterCase{"OnThenOff",
                    {{"Shutter -", false}},
                    "SHUTTER=OFF SHUTTER=ON",
                    {"Shutter -", "Shutter -"}},
        ShutterCase{"NoWindowNothing", {{"Shutter", false}}, "SHUTTER=ON", {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
