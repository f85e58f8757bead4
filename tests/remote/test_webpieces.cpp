// The web remote's parts that need no socket: request framing against hostile
// peers, tokens, settings, the API's answers, the command rate and the log of
// trouble.

#include "remote/httpframer.h"
#include "remote/webapi.h"
#include "remote/websettings.h"
#include "remote/webtoken.h"
#include "remote/webtrouble.h"
#include "show/inifile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

using namespace orvane;
using namespace orvane::test;
using Verdict = HttpRequestFramer::Verdict;

namespace {

struct FramingCase {
    const char* name;
    std::vector<std::string> reads;
    Verdict verdict;
    bool inRequest;
};

class Framing : public testing::TestWithParam<FramingCase> {};

TEST_P(Framing, FindsRequestsAndRefusesHostileOnes) {
    const FramingCase& c = GetParam();
    HttpRequestFramer framer(HttpLimits{1024, 64});
    Verdict verdict = Verdict::Reading;
    for (const std::string& read : c.reads)
        verdict = framer.feed(read);
    EXPECT_EQ(verdict, c.verdict) << framer.reason();
    EXPECT_EQ(framer.inRequest(), c.inRequest);
}

const std::string kGet = "GET /api/state HTTP/1.1\r\nHost: x\r\n\r\n";
const std::string kUpgrade = "GET /ws?token=a HTTP/1.1\r\nUpgrade: websocket\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    WebRemote, Framing,
    testing::Values(
        FramingCase{"whole_request", {kGet}, Verdict::Reading, false},
        FramingCase{"blank_line_split_over_reads",
                    {"GET / HTTP/1.1\r\nHost: x\r", "\n\r", "\n"},
                    Verdict::Reading,
                    false},
        FramingCase{"headers_still_coming", {"GET / HTTP/1.1\r\nHo"}, Verdict::Reading, true},
        FramingCase{"body_still_coming",
                    {"POST /api/master HTTP/1.1\r\nContent-Length: 13\r\n\r\n{\"value\""},
                    Verdict::Reading,
                    true},
        FramingCase{"pipelined_with_bodies",
                    {"POST /a HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc" + kGet + kGet},
                    Verdict::Reading,
                    false},
        FramingCase{"line_feeds_only", {"GET / HTTP/1.1\nHost: x\n\n"}, Verdict::Reading, false},
        FramingCase{"headers_over_limit_in_one_read",
                    {"GET / HTTP/1.1\r\nX: " + std::string(200 * 1024, 'a') + "\r\n\r\n"},
                    Verdict::HeadersTooLarge,
                    true},
        FramingCase{"headers_over_limit_a_byte_at_a_time", std::vector<std::string>(1100, "a"),
                    Verdict::HeadersTooLarge, true},
        FramingCase{"body_over_limit",
                    {"POST /a HTTP/1.1\r\nContent-Length: 65\r\n\r\n"},
                    Verdict::BodyTooLarge,
                    true},
        FramingCase{"length_beyond_any_number",
                    {"POST /a HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n"},
                    Verdict::BodyTooLarge,
                    true},
        FramingCase{"length_not_a_number",
                    {"POST /a HTTP/1.1\r\nContent-Length: 12x\r\n\r\n"},
                    Verdict::BadRequest,
                    true},
        FramingCase{"chunked_body",
                    {"POST /a HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"},
                    Verdict::BadRequest,
                    true},
        FramingCase{"no_request_line", {"\x16\x03\x01\r\n\r\n"}, Verdict::BadRequest, true},
        FramingCase{"upgrade_after_a_request", {kGet + kUpgrade}, Verdict::Upgrade, true},
        FramingCase{
            "refusal_sticks", {std::string(2000, 'a'), kGet}, Verdict::HeadersTooLarge, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WebRemoteFraming, AnUpgradeKeepsItsHeaderBlock) {
    HttpRequestFramer framer;
    ASSERT_EQ(framer.feed(kGet + kUpgrade), Verdict::Upgrade);
    EXPECT_EQ(framer.headerBlock(), kUpgrade);
    EXPECT_EQ(requestTarget(framer.headerBlock()), "/ws?token=a");
    EXPECT_EQ(headerValue(framer.headerBlock(), "upgrade"), "websocket");
    EXPECT_EQ(headerValue(framer.headerBlock(), "Authorization"), "");
}

TEST(WebRemoteToken, ComparesWholeTokens) {
    struct Row {
        const char* name;
        std::string given, expected;
        bool same;
    };
    const Row rows[] = {
        {"equal", "abcdef", "abcdef", true},         {"first_differs", "Xbcdef", "abcdef", false},
        {"last_differs", "abcdeX", "abcdef", false}, {"prefix", "abc", "abcdef", false},
        {"longer", "abcdefg", "abcdef", false},      {"empty_given", "", "abcdef", false},
        {"nothing_expected", "", "", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(sameToken(r.given, r.expected), r.same) << r.name;
}

TEST(WebRemoteToken, ComesFromBearerHeaderElseQuery) {
    EXPECT_EQ(requestToken("Bearer abc", "q"), "abc");
    EXPECT_EQ(requestToken("bearer  abc ", ""), "abc");
    EXPECT_EQ(requestToken("Basic abc", "q"), "q");
    EXPECT_EQ(requestToken("", "q"), "q");
    EXPECT_EQ(requestToken("Bearer ", ""), "");
}

TEST(WebRemoteToken, MadeTokensAreLongUrlSafeAndDiffer) {
    std::string a = makeWebToken();
    std::string b = makeWebToken();
    EXPECT_EQ(a.size(), 32u);
    EXPECT_NE(a, b);
    EXPECT_EQ(
        a.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
        std::string::npos);
}

TEST(WebRemoteSettings, PortsAndAddresses) {
    EXPECT_EQ(parsePort("8080"), 8080);
    EXPECT_EQ(parsePort("65535"), 65535);
    for (const char* bad : {"0", "65536", "80a", "-1", "", " 80", "8,0"})
        EXPECT_EQ(parsePort(bad), 0) << bad;
    EXPECT_EQ(webRemoteUrl("127.0.0.1", 8080, "a b/c"), "http://127.0.0.1:8080/?token=a%20b%2Fc");
    EXPECT_EQ(webRemoteUrl("::1", 81, "t"), "http://[::1]:81/?token=t");
    EXPECT_EQ(webRemoteUrl("127.0.0.1", 81, ""), "http://127.0.0.1:81/");
}

// The settings read from a profile of the test's own.
class WebSettingsProfile : public testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_old = old ? old : "";
        m_hadOld = old != nullptr;
        setenv("XDG_CONFIG_HOME", m_config.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_hadOld)
            setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    void write(const std::string& settings) {
        std::string folder = m_config.path() + "/orvane";
        std::system(("mkdir -p '" + folder + "'").c_str());
        writeFile(folder + "/profile.ini", "[settings]\r\n" + settings);
    }
    std::string profile() { return readFile(m_config.path() + "/orvane/profile.ini"); }

    TempDir m_config;
    std::string m_old;
    bool m_hadOld = false;
};

TEST_F(WebSettingsProfile, OffWithoutAPort) {
    write("webbind=0.0.0.0\r\n");
    ProfileFiles profiles;
    WebSettings s = readWebSettings(profiles);
    EXPECT_FALSE(s.enabled);
    EXPECT_TRUE(s.problems.empty());
    EXPECT_EQ(profile().find("webtoken"), std::string::npos)
        << "no token made for a remote that is off";
}

TEST_F(WebSettingsProfile, AMadeTokenIsKeptForTheNextStart) {
    write("webport=8080\r\n");
    WebSettings first;
    {
        ProfileFiles profiles;
        first = readWebSettings(profiles);
    }
    ASSERT_TRUE(first.enabled);
    EXPECT_TRUE(first.tokenMade);
    EXPECT_EQ(first.bindAddress, "127.0.0.1");
    EXPECT_NE(profile().find("webtoken=" + first.token), std::string::npos);
    ProfileFiles again;
    WebSettings second = readWebSettings(again);
    EXPECT_FALSE(second.tokenMade);
    EXPECT_EQ(second.token, first.token);
}

TEST_F(WebSettingsProfile, UnusableSettingsLeaveItOffAndSayWhy) {
    struct Row {
        const char* settings;
        const char* problem;
        bool enabled;
    };
    const Row rows[] = {
        {"webport=http\r\n", "webport \"http\" is not a port number", false},
        {"webport=8080\r\nwebbind=stage\r\n", "webbind \"stage\" is not an IPv4 or IPv6", false},
        {"webport=8080\r\nwebtoken=1234\r\n", "webtoken is shorter than 12", true},
    };
    for (const Row& r : rows) {
        write(r.settings);
        ProfileFiles profiles;
        WebSettings s = readWebSettings(profiles);
        EXPECT_EQ(s.enabled, r.enabled) << r.settings;
        ASSERT_EQ(s.problems.size(), 1u) << r.settings;
        EXPECT_NE(s.problems[0].find(r.problem), std::string::npos) << s.problems[0];
    }
}

// The API's answers without sockets: status, reason and what reached the ring.
struct ApiRow {
    const char* name;
    const char* method;
    const char* path;
    const char* body;
    int status;
    std::optional<RemoteCommand> command;
    const char* reason;
};

class Api : public testing::TestWithParam<ApiRow> {};

TEST_P(Api, AnswersAndActs) {
    const ApiRow& r = GetParam();
    RemoteCommandRing ring;
    RemoteStateBoard board;
    CommandRate rate(40, 25);
    WebApi api(ring, board, rate, "<html></html>");
    WebReply reply = api.answer(r.method, r.path, r.body, Nanoseconds{0});
    EXPECT_EQ(reply.status, r.status);
    EXPECT_EQ(ring.pop(), r.command);
    EXPECT_EQ(ring.pop(), std::nullopt);
    if (*r.reason) {
        EXPECT_NE(reply.reason.find(r.reason), std::string::npos) << reply.reason;
    }
    if (r.status >= 400) {
        EXPECT_EQ(QJsonDocument::fromJson(reply.body)["error"].toString().toStdString(),
                  reply.reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WebRemote, Api,
    testing::Values(
        ApiRow{"go", "POST", "/api/go", "", 200, RemoteCommand{RemoteVerb::Go, 0, 0}, ""},
        ApiRow{"back", "POST", "/api/back", "", 200, RemoteCommand{RemoteVerb::Back, 0, 0}, ""},
        ApiRow{"stop", "POST", "/api/stop", "", 200, RemoteCommand{RemoteVerb::Stop, 0, 0}, ""},
        ApiRow{"pause", "POST", "/api/pause", "", 200, RemoteCommand{RemoteVerb::Pause, 0, 0}, ""},
        ApiRow{"first_step", "POST", "/api/step/0", "", 200, RemoteCommand{RemoteVerb::Step, 0, 0},
               ""},
        ApiRow{"last_step", "POST", "/api/step/499", "", 200,
               RemoteCommand{RemoteVerb::Step, 499, 0}, ""},
        ApiRow{"step_past_the_end", "POST", "/api/step/500", "", 400, std::nullopt,
               "is not a step number (0-499)"},
        ApiRow{"step_negative", "POST", "/api/step/-1", "", 400, std::nullopt, "step \"-1\""},
        ApiRow{"step_not_a_number", "POST", "/api/step/12a", "", 400, std::nullopt, "\"12a\""},
        ApiRow{"step_huge", "POST", "/api/step/99999999999", "", 400, std::nullopt, ""},
        ApiRow{"master", "POST", "/api/master", R"({"value": 0.5})", 200,
               RemoteCommand{RemoteVerb::Master, 0, 0.5f}, ""},
        ApiRow{"volume_1_full", "POST", "/api/volume/1", R"({"value": 1})", 200,
               RemoteCommand{RemoteVerb::Volume, 1, 1.0f}, ""},
        ApiRow{"volume_2_off", "POST", "/api/volume/2", R"({"value": 0})", 200,
               RemoteCommand{RemoteVerb::Volume, 2, 0.0f}, ""},
        ApiRow{"master_over_one", "POST", "/api/master", R"({"value": 1.5})", 400, std::nullopt,
               "value 1.5 is out of range (0-1)"},
        ApiRow{"master_negative", "POST", "/api/master", R"({"value": -0.1})", 400, std::nullopt,
               "out of range"},
        ApiRow{"master_as_text", "POST", "/api/master", R"({"value": "0.5"})", 400, std::nullopt,
               "must be a number from 0 to 1"},
        ApiRow{"master_comma_decimal", "POST", "/api/master", R"({"value": 0,5})", 400,
               std::nullopt, "must be JSON"},
        ApiRow{"master_without_body", "POST", "/api/master", "", 400, std::nullopt, "must be JSON"},
        ApiRow{"volume_3", "POST", "/api/volume/3", R"({"value": 0.5})", 404, std::nullopt, ""},
        ApiRow{"command_with_get", "GET", "/api/go", "", 405, std::nullopt, "POST"},
        ApiRow{"state_with_post", "POST", "/api/state", "", 405, std::nullopt, "GET"},
        ApiRow{"unknown_path", "POST", "/api/blackout", "", 404, std::nullopt, "no such path"},
        ApiRow{"page", "GET", "/", "", 200, std::nullopt, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WebRemoteApi, StateHasExactlyTheListedKeys) {
    RemoteState s;
    s.step = 12;
    s.caption = "Entrée des artistes";
    s.next = 13;
    s.nextCaption = "Noir";
    s.fading = true;
    s.fadeProgress = 0.25;
    s.master = 0.8;
    s.volume1 = 0.5;
    s.volume2 = 1;
    s.output = "DMX output: interface connected";
    QJsonObject o = QJsonDocument::fromJson(stateJson(s)).object();
    QStringList keys = o.keys();
    keys.sort();
    EXPECT_EQ(keys.join(",").toStdString(),
              "caption,fadeProgress,fading,master,next,nextCaption,output,step,volume1,volume2");
    EXPECT_EQ(o["step"].toInt(), 12);
    EXPECT_EQ(o["caption"].toString(), QString::fromUtf8("Entrée des artistes"));
    EXPECT_EQ(o["fadeProgress"].toDouble(), 0.25);
    EXPECT_EQ(o["fading"].toBool(), true);
    EXPECT_EQ(QJsonDocument::fromJson(stateJson(s, true))["type"].toString(), "state");
}

TEST(WebRemoteApi, LiveMessages) {
    struct Row {
        const char* text;
        std::optional<RemoteCommand> command;
        const char* reason; // "" when it is taken
    };
    const Row rows[] = {
        {R"({"command":"go"})", RemoteCommand{RemoteVerb::Go, 0, 0}, ""},
        {R"({"command":"step","value":42})", RemoteCommand{RemoteVerb::Step, 42, 0}, ""},
        {R"({"command":"volume2","value":0.25})", RemoteCommand{RemoteVerb::Volume, 2, 0.25f}, ""},
        {R"({"command":"step","value":4.5})", std::nullopt, "whole step number"},
        {R"({"command":"step"})", std::nullopt, "whole step number"},
        {R"({"command":"master","value":2})", std::nullopt, "out of range"},
        {R"({"command":"blackout"})", std::nullopt, "unknown command \"blackout\""},
        {R"({"cmd":"go"})", std::nullopt, "needs \"command\""},
        {R"(["go"])", std::nullopt, "JSON object"},
        {"go", std::nullopt, "JSON object"},
        {"", std::nullopt, "JSON object"},
    };
    for (const Row& r : rows) {
        auto parsed = parseLiveMessage(r.text);
        if (r.command) {
            ASSERT_TRUE(std::holds_alternative<RemoteCommand>(parsed)) << r.text;
            EXPECT_EQ(std::get<RemoteCommand>(parsed), *r.command) << r.text;
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << r.text;
            EXPECT_NE(std::get<std::string>(parsed).find(r.reason), std::string::npos)
                << r.text << ": " << std::get<std::string>(parsed);
        }
    }
    EXPECT_TRUE(std::holds_alternative<StateRequest>(parseLiveMessage(R"({"command":"state"})")));
}

TEST(WebRemoteApi, CommandsPassInABurstThenAtTheRate) {
    CommandRate rate(3, 2);
    Nanoseconds t{5s};
    int taken = 0;
    for (int i = 0; i < 10; ++i)
        taken += rate.take(t);
    EXPECT_EQ(taken, 3);
    EXPECT_FALSE(rate.take(t + 400ms));
    EXPECT_TRUE(rate.take(t + 500ms));
    EXPECT_FALSE(rate.take(t + 500ms));
    // A long pause refills no more than the burst.
    t += 100s;
    taken = 0;
    for (int i = 0; i < 10; ++i)
        taken += rate.take(t);
    EXPECT_EQ(taken, 3);
}

TEST(WebRemoteApi, AFullRingRefusesWithTheReason) {
    RemoteCommandRing ring;
    RemoteStateBoard board;
    CommandRate rate(100000, 100000);
    WebApi api(ring, board, rate, {});
    for (size_t i = 0; i < RemoteCommandRing::kCapacity; ++i)
        ASSERT_EQ(api.answer("POST", "/api/go", {}, Nanoseconds{0}).status, 200);
    WebReply reply = api.answer("POST", "/api/go", {}, Nanoseconds{0});
    EXPECT_EQ(reply.status, 503);
    EXPECT_NE(reply.reason.find("busy"), std::string::npos);
}

TEST(WebRemoteTrouble, OneLinePerKindThenACountPerWindow) {
    WebTroubleLog log;
    Nanoseconds t{100s};
    for (int i = 0; i < 50; ++i)
        log.add(WebTrouble::WrongToken, "10.0.0." + std::to_string(i), "a wrong token", t);
    log.add(WebTrouble::HeadersTooLarge, "10.0.0.9", "request headers over 16384 bytes", t);
    std::vector<LogLine> lines = log.take();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text,
              "web remote: requests without the right token: 10.0.0.0, a wrong token");
    EXPECT_EQ(lines[1].text, "web remote: requests with oversized headers: 10.0.0.9, request "
                             "headers over 16384 bytes");
    EXPECT_TRUE(log.pending());
    log.flush(t + 9s);
    EXPECT_TRUE(log.take().empty());
    log.flush(t + 10s);
    lines = log.take();
    ASSERT_EQ(lines.size(), 1u) << "the oversized header came once: nothing more to say";
    EXPECT_EQ(lines[0].text, "web remote: 49 more like this, the last: requests without the "
                             "right token: 10.0.0.49, a wrong token");
    EXPECT_FALSE(log.pending());
    EXPECT_EQ(log.total(), 51u);
    // After a quiet window, the next one is said at once again.
    log.add(WebTrouble::WrongToken, "10.0.0.1", "a wrong token", t + 30s);
    EXPECT_EQ(log.take().size(), 1u);
}

} // namespace
