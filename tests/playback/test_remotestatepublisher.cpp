// The state the remote surfaces show, made from the main window's controls
// and the show store, published only when it changed.

#include "console/console.h"
#include "console/consoletable.h"
#include "console/controlids.h"
#include "playback/remotestatepublisher.h"
#include "show/showstore.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

struct PublisherFixture : ::testing::Test {
    ProfileFiles profiles;
    ShowStore store{profiles};
    ControlModel main;
    RemoteStateBoard board;
    RemoteStatePublisher publisher{main, store, board};
    int published = 0;

    void SetUp() override {
        populateConsole(main);
        board.onChange([this] { ++published; });
        main.setText(console::kStepNumber, "7");
        main.setText(console::kStepName, "Act one\r\nopening");
        main.setText(console::kDmxInterface, "/dev/ttyUSB0: open");
        store.WriteStoreValue("8", "name", "Storm\\nrising", "");
    }
};

TEST_F(PublisherFixture, TheStateComesFromTheConsoleAndTheNextStepsStoredCaption) {
    main.setPos(console::kMaster, 255 - 51);
    main.setPos(console::kMasterVolumeLeft, 2500);
    main.setPos(console::kMasterVolumeRight, 10000);
    ASSERT_TRUE(publisher.update());
    RemoteState s = board.latest();
    EXPECT_EQ(s.step, 7);
    EXPECT_EQ(s.caption, "Act one\nopening");
    EXPECT_EQ(s.next, 8);
    EXPECT_EQ(s.nextCaption, "Storm\nrising");
    EXPECT_FALSE(s.fading);
    EXPECT_DOUBLE_EQ(s.fadeProgress, 1.0);
    EXPECT_DOUBLE_EQ(s.master, 0.2);
    EXPECT_DOUBLE_EQ(s.volume1, 0.75);
    EXPECT_DOUBLE_EQ(s.volume2, 0.0);
    EXPECT_EQ(s.output, "/dev/ttyUSB0: open");
}

TEST_F(PublisherFixture, NextStepFollowsAfterFadeGotoAndEndsAtTheLastStep) {
    struct Case {
        const char* name;
        const char* step;
        bool gotoChecked;
        const char* gotoStep;
        int next;
    };
    const Case cases[] = {
        {"the step after", "7", false, "", 8},
        {"after fade goto", "7", true, "2", 2},
        {"goto outside the show", "7", true, "600", -1},
        {"the last step", "499", false, "", -1},
    };
    for (const Case& c : cases) {
        main.setText(console::kStepNumber, c.step);
        main.setChecked(console::kGoto, c.gotoChecked);
        main.setText(console::kGotoStep, c.gotoStep);
        publisher.update();
        EXPECT_EQ(board.latest().next, c.next) << c.name;
        if (c.next < 0) {
            EXPECT_EQ(board.latest().nextCaption, "") << c.name;
        }
    }
}

TEST_F(PublisherFixture, AFadeShowsItsProgress) {
    main.setChecked(console::kFadeIn, true);
    main.setPos(console::kFadeProgress, 40);
    publisher.update();
    EXPECT_TRUE(board.latest().fading);
    EXPECT_DOUBLE_EQ(board.latest().fadeProgress, 0.4);
}

TEST_F(PublisherFixture, PublishesOnlyWhatChanged) {
    publisher.update();
    ASSERT_EQ(published, 1);
    EXPECT_FALSE(publisher.update()) << "nothing changed";
    // A control that the state does not show changes: the state is the same.
    main.setPos(console::kFaders[3], 12);
    EXPECT_FALSE(publisher.update());
    EXPECT_EQ(published, 1);
    main.setPos(console::kMaster, 100);
    EXPECT_TRUE(publisher.update());
    // The next step's caption edited in the store, no control touched.
    store.WriteStoreValue("8", "name", "Calm", "");
    EXPECT_TRUE(publisher.update());
    EXPECT_EQ(board.latest().nextCaption, "Calm");
    EXPECT_EQ(published, 3);
}

} // namespace
