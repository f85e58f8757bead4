// The DMX interface indicator against a pseudo-terminal that goes away and
// comes back: states, their texts, the 2 s reopening and the frames after it.

#include "dmx/dmxoutput.h"
#include "dmx/interfacewatch.h"
#include "dmx/serialline.h"
#include "support/pty.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>

namespace orvane {
namespace {

namespace fs = std::filesystem;

// The device is a link in a temp folder, pointed at one pty after another as
// an interface is pulled out and plugged in again.
class InterfaceWatchTest : public ::testing::Test {
protected:
    std::unique_ptr<DmxOutput> makeOutput() {
        unsetenv("ORVANE_DMX_PORT");
        DmxOutputOptions o;
        o.message = [this](std::string_view, std::string_view text) {
            messages.emplace_back(text);
        };
        o.dmxPortSetting = [this] { return device; };
        o.runThread = false;
        return std::make_unique<DmxOutput>(line, std::move(o));
    }

    void plugIn(const test::PtyPair& pty) {
        fs::remove(device);
        fs::create_symlink(pty.slavePath(), device);
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            output->runTick(now += kTickPeriodMs);
    }
    std::string stateLine() const { return watch.text().substr(0, watch.text().find('\n')); }

    test::TempDir dir;
    std::string device = dir.file("ttyDMX");
    std::vector<std::string> messages;
    SerialLine line{[](std::string_view, std::string_view) {}};
    std::unique_ptr<DmxOutput> output = makeOutput();
    InterfaceWatch watch{line, *output};
    int64_t now = 1000;
};

TEST(InterfaceState, OpenErrorsAndTheirTexts) {
    struct Case {
        int error;
        InterfaceState state;
        const char* text;
    } cases[] = {
        {ENOENT, InterfaceState::NotFound, "not found"},
        {ENODEV, InterfaceState::NotFound, "not found"},
        {EACCES, InterfaceState::NoPermission, "no permission (add yourself to dialout)"},
        {EPERM, InterfaceState::NoPermission, "no permission (add yourself to dialout)"},
        {EBUSY, InterfaceState::Failed, "cannot be opened: Device or resource busy"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stateOfOpenError(c.error), c.state) << c.error;
        EXPECT_EQ(interfaceStateText(stateOfOpenError(c.error), c.error), c.text) << c.error;
    }
    EXPECT_EQ(interfaceStateText(InterfaceState::Open, 0), "open");
    EXPECT_EQ(interfaceStateText(InterfaceState::Unplugged, EIO), "unplugged");
}

TEST_F(InterfaceWatchTest, UnpluggedThenReopenedEveryTwoSecondsUntilItAnswers) {
    auto first = std::make_unique<test::PtyPair>();
    ASSERT_TRUE(first->ok());
    plugIn(*first);
    ASSERT_EQ(output->start(), 0);
    watch.started(Milliseconds{now});
    EXPECT_EQ(stateLine(), device + ": open");
    EXPECT_TRUE(
        std::regex_match(watch.text(), std::regex(".*\nsince [0-2][0-9]:[0-5][0-9]:[0-5][0-9]")))
        << watch.text();
    ticks(4);
    EXPECT_EQ(first->read(2 * 513, 1000).size(), 2u * 513);
    EXPECT_FALSE(watch.poll(Milliseconds{now}));

    // Pulled out: the next frame fails, the output thread leaves the errno in the
    // line, the watch closes the line and says so.
    first->closeMaster();
    ticks(2);
    EXPECT_TRUE(watch.poll(Milliseconds{now}));
    const int64_t lost = now;
    EXPECT_EQ(stateLine(), device + ": unplugged");
    EXPECT_EQ(output->portState(), -1);
    ticks(4); // nothing reaches a closed line, nothing fails

    // Still away: it stays "unplugged", one attempt every 2 s.
    fs::remove(device);
    EXPECT_FALSE(watch.poll(Milliseconds{lost + 1999}));
    EXPECT_FALSE(watch.poll(Milliseconds{lost + 2000}));
    EXPECT_EQ(stateLine(), device + ": unplugged");

    // Plugged in again: the next attempt opens it and frames flow, break first.
    test::PtyPair second;
    ASSERT_TRUE(second.ok());
    plugIn(second);
    EXPECT_FALSE(watch.poll(Milliseconds{lost + 3999}));
    EXPECT_TRUE(watch.poll(Milliseconds{lost + 4000}));
    EXPECT_EQ(stateLine(), device + ": open");
    now += 4000;
    ticks(4);
    std::vector<uint8_t> frames = second.read(2 * 513, 1000);
    ASSERT_EQ(frames.size(), 2u * 513);
    EXPECT_EQ(frames[0], 0);       // the start code
    EXPECT_TRUE(messages.empty()); // reopening asks nothing of the operator
}

TEST_F(InterfaceWatchTest, MissingAtTheStartItIsOpenedWhenItAppears) {
    EXPECT_EQ(stateLine(), device + ": not opened yet");
    EXPECT_FALSE(watch.poll(Milliseconds{now + 10000})); // nothing is tried before the first start
    EXPECT_EQ(output->start(), -1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0],
              "Cannot open the DMX interface " + device + ": No such file or directory");
    watch.started(Milliseconds{now});
    EXPECT_EQ(stateLine(), device + ": not found");
    EXPECT_FALSE(watch.poll(Milliseconds{now + 2000})); // still missing: unchanged
    test::PtyPair pty;
    ASSERT_TRUE(pty.ok());
    plugIn(pty);
    EXPECT_TRUE(watch.poll(Milliseconds{now + 4000}));
    EXPECT_EQ(stateLine(), device + ": open");
    EXPECT_EQ(messages.size(), 1u);

    // A device that is no terminal is not retried: only the operator's reset helps.
    fs::remove(device);
    test::writeFile(device, "not a tty");
    output->closeLine();
    EXPECT_EQ(output->reset(), -1);
    watch.started(Milliseconds{now});
    EXPECT_EQ(watch.state(), InterfaceState::Failed);
    EXPECT_FALSE(watch.poll(Milliseconds{now + 60000}));
}

} // namespace
} // namespace orvane
