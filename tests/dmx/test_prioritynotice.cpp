// What the operator is told about the output thread's priority, and when.

#include "dmx/prioritynotice.h"

#include <gtest/gtest.h>

using namespace orvane;

TEST(PriorityNotice, TellsOnceTheThreadHasSettledAndAgainOnlyOnAChange) {
    struct Poll {
        bool running, realtime;
        int64_t nowMs;
        const char* told; // nullptr: nothing to show
    };
    const std::string fifo = priorityText(true), normal = priorityText(false);
    const Poll polls[] = {
        {false, false, 0, nullptr},       // no thread yet (a chained start waits)
        {true, false, 1000, nullptr},     // just started: its priority may not be set yet
        {true, true, 1100, nullptr},      //
        {true, true, 1200, fifo.c_str()}, // settled
        {true, true, 1450, nullptr},      // nothing new
        {true, false, 1700, normal.c_str()}, {true, false, 1950, nullptr},
    };
    PriorityNotice notice;
    for (const Poll& p : polls) {
        std::optional<std::string> text = notice.poll(p.running, p.realtime, Milliseconds{p.nowMs});
        if (p.told)
            EXPECT_EQ(text, std::optional<std::string>(p.told)) << p.nowMs;
        else
            EXPECT_EQ(text, std::nullopt) << p.nowMs;
    }
}

TEST(PriorityNotice, ARefusalSaysHowToGrantIt) {
    EXPECT_NE(priorityText(false).find("rtprio"), std::string::npos);
    EXPECT_NE(priorityText(false).find("CAP_SYS_NICE"), std::string::npos);
    EXPECT_NE(priorityText(true).find("SCHED_FIFO"), std::string::npos);
}
