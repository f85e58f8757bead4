// The device protocol's texts and the log's bounds, without sockets.

#include "remote/devicelog.h"
#include "remote/devicetexts.h"
#include "show/textutil.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(DeviceTexts, DeviceNumberIsTheLastOctet) {
    const std::pair<const char*, int> cases[] = {
        {"192.168.1.23", 23}, {"127.0.1.23", 23}, {"10.0.0.1", 1},
        {"10.0.0.255", 255},  {"localhost", -2},  {"10.0.0.", 0},
    };
    for (auto [address, number] : cases)
        EXPECT_EQ(deviceNumberOf(address), number) << address;
}

TEST(DeviceTexts, FileCommandsAndTheirHeaders) {
    struct Case {
        const char* text;
        bool video;
        char code;
        const char* name;
        uint32_t size;
        const char* header;
    };
    const Case cases[] = {
        {"UCIM=Apicture.bmp    ", false, 'A', "picture.bmp", 1234567, "UCIM=A0001234567    "},
        {"UCVI=Zclip.mp4       ", true, 'Z', "clip.mp4", 0, "UCVI=Z0000000000    "},
        {"UCIM=1a b.jpg        ", false, '1', "a b.jpg", 4294967295u, "UCIM=14294967295    "},
        // The keyword may stand anywhere; code and name keep their places.
        {"xxUCVI=abcdefghij    ", true, 'I', "=abcdefghij", 7, "UCVI=I0000000007    "},
        {"UCIM=UCVI=x          ", false, 'U', "CVI=x", 1, "UCIM=U0000000001    "},
    };
    for (const Case& c : cases) {
        std::optional<FileCommand> f = fileCommandOf(c.text);
        ASSERT_TRUE(f) << c.text;
        EXPECT_EQ(f->video, c.video) << c.text;
        EXPECT_EQ(f->code, c.code) << c.text;
        EXPECT_EQ(f->name, c.name) << c.text;
        std::string header = fileHeader(*f, c.size);
        EXPECT_EQ(header, c.header) << c.text;
        EXPECT_EQ(header.size(), kDeviceTextSize);
    }
    EXPECT_FALSE(fileCommandOf("HELLO               "));
    EXPECT_FALSE(fileCommandOf("UCIM HELLO          "));
}

TEST(DeviceTexts, AnswersThatSleepAndWake) {
    const std::pair<const char*, Answer> cases[] = {
        {"OK:SLEEP:ENTERSLEEP", Answer::EnterSleep},
        {"OK:SLEEP:ENTERSLEEP and more", Answer::EnterSleep},
        {"OK:SLEEP:WAKEUP", Answer::Wakeup},
        {"OK:SLEEP:WAKEUPNOW", Answer::Wakeup},
        {"OK:SLEEP:ENTER", Answer::Other},
        {" OK:SLEEP:WAKEUP", Answer::Other},
        {"ok:sleep:wakeup", Answer::Other},
        {"", Answer::Other},
    };
    for (auto [text, answer] : cases)
        EXPECT_EQ(answerOf(text), answer) << text;
}

TEST(DeviceTexts, ReceivedTextEndsAtTheFirstNulAndIsShownPrintable) {
    using namespace std::string_view_literals;
    EXPECT_EQ(receivedText("OK\0garbage"sv), "OK");
    EXPECT_EQ(receivedText("\0OK"sv), "");
    EXPECT_EQ(receivedText("plain"sv), "plain");

    const std::pair<std::string_view, std::string> shown[] = {
        {"OK", "OK"},
        {"line\r\nnext\t", "line??next?"},
        {"caf\xC3\xA9", "caf\xC3\xA9"}, // UTF-8 kept
        {"caf\xE9!", "caf?!"},          // Windows-1252 byte shown as ?
        {"\xC3", "?"},                  // cut sequence
        {"\x7F\x01", "??"},
    };
    for (const auto& [text, expected] : shown)
        EXPECT_EQ(printableText(text, 50), expected);
    EXPECT_EQ(printableText(std::string(300, 'x'), 200), std::string(200, 'x') + "...");
    EXPECT_EQ(printableText("\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9...");
}

TEST(DeviceTexts, CharactersAreCountedInUtf8) {
    EXPECT_EQ(utf8Length(""), 0u);
    EXPECT_EQ(utf8Length("HELLO"), 5u);
    EXPECT_EQ(utf8Length("H\xC3\x89LLO"), 5u);
    EXPECT_EQ(utf8Length("\xE2\x82\xAC"), 1u);
    EXPECT_EQ(kKeepAliveText, "ALIVE               ");
}

TEST(DeviceLog, ABurstPassesThenLinesAreCountedAndTheCountLogged) {
    LogLimiter limiter(3, 2); // 3 at once, then 2 a second
    std::vector<LogLine> out;
    for (int i = 0; i < 10; ++i)
        limiter.add({"line " + std::to_string(i), 1}, Milliseconds{1000}, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].text, "line 2");
    EXPECT_EQ(limiter.heldBack(), 7u);

    // Half a second brings one line back: the count of what was left out.
    out.clear();
    limiter.flush(Milliseconds{1500}, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].text, "ovi: 7 log lines left out");
    EXPECT_EQ(out[0].colour, kLogDarkRed);

    // Then lines flow at the rate again.
    out.clear();
    limiter.add({"late", 1}, Milliseconds{2000}, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].text, "late");
}

TEST(DeviceLog, UnderSteadyPressureLinesStillPassWithTheirCount) {
    LogLimiter limiter(1, 1);
    std::vector<LogLine> out;
    for (const char* text : {"a", "b", "c"})
        limiter.add({text, 1}, Milliseconds{0}, out);
    limiter.add({"d", 1}, Milliseconds{1000}, out);
    limiter.add({"e", 1}, Milliseconds{1500}, out);
    limiter.add({"f", 1}, Milliseconds{2000}, out);
    std::vector<std::string> texts;
    for (const LogLine& l : out)
        texts.push_back(l.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "ovi: 2 log lines left out", "d",
                                               "ovi: 1 log lines left out", "f"}));
}
